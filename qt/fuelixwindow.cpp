#include "qt/fuelixwindow.h"

#include "model/blend.h"
#include "model/number_text.h"
#include "qt/icon.h"
#include "qt/panelline.h"
#include "qt/picturebox.h"
#include "qt/scrollslider.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace fuelix {

namespace {

// The layout is given in twips: 15 to a pixel at 96 dots per inch.
int px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QRect twipRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QPoint twipPoint(int x, int y)
{
    return {px(x), px(y)};
}

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

Qt::Alignment qtAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

Alignment modelAlignment(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignRight)
        return Alignment::Right;
    if (alignment & Qt::AlignHCenter)
        return Alignment::Centre;
    return Alignment::Left;
}

// The default font for every control but the result line: Arial-metric, so that "Octane
// Rating:" and "Tank Capacity:" fit their 73-pixel boxes.
QFont windowFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    return font;
}

// The result line asks for the classic dialog font, missing on free desktops; the condensed
// face fits "Final Octane Rating:" into its 145 pixels at 12 points where Arial widths do not.
QFont resultFont(qreal points)
{
    static const bool substituted = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("DejaVu Sans Condensed"));
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// Writes a caption only when it changes, so an unchanged result is not repainted. A caption
// wider than its fixed box is clipped; its tooltip then shows it whole.
void setCaption(QLabel *label, const QString &caption)
{
    if (label->text() == caption)
        return;
    label->setText(caption);
    const bool clipped =
        label->fontMetrics().horizontalAdvance(caption) > label->contentsRect().width();
    label->setToolTip(clipped ? caption : QString());
}

// The program's own assignment of a text box: a different text raises Change inside the call;
// the same text changes nothing, not even the cursor or the selection.
void assignText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

// A plain top-level widget reaches screen readers as a "filler"; the one window of the program
// is announced as a window, with its title.
QAccessibleInterface *accessibleWindow(const QString &className, QObject *object)
{
    if (className == QLatin1String(FuelixFrm::staticMetaObject.className()) &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

FuelixFrm::FuelixFrm(QWidget *parent) : QWidget(parent)
{
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(accessibleWindow);
        return true;
    }();
    Q_UNUSED(accessibleAsWindow);
    setObjectName(QStringLiteral("FuelixFrm"));
    setWindowTitle(QStringLiteral("Fuelix"));
    setWindowIcon(programIcon());
    setFont(windowFont());
    setFixedSize(px(7590), px(6615));

    createControls();
    connectHandlers();
    m_ui.TankOctaneRatingTxt->setFocus();

    if (!parent) {
        // The client area is centred; the window manager adds its frame around it.
        QRect client(QPoint(), size());
        client.moveCenter(screen()->availableGeometry().center());
        setGeometry(client);
    }
}

FuelixFrm::~FuelixFrm() = default;

void FuelixFrm::createControls()
{
    // Children are created bottom of the stacking order first, so that each covers those made
    // before it; the inputs, buttons and the picture come last and lie above every label.
    auto label = [this](const char *name, QRect geometry, const char *caption,
                        Alignment alignment) {
        auto *l = new QLabel(QString::fromLatin1(caption), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(qtAlignment(alignment));
        l->setAutoFillBackground(true);
        return l;
    };
    auto line = [this](int index, QPoint from, QPoint to, int mode) {
        auto *ln = new PanelLine(QStringLiteral("Ln%1").arg(index + 1), from, to, mode, this);
        m_ui.Ln[static_cast<std::size_t>(index)] = ln;
        return ln;
    };
    auto textBox = [this](const char *name, QRect geometry, const char *text) {
        auto *box = new QLineEdit(QString::fromLatin1(text), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(geometry);
        box->setMaxLength(std::numeric_limits<int>::max());
        return box;
    };
    auto slider = [this](const char *name, QRect geometry, int value) {
        auto *s = new ScrollSlider(this);
        s->setObjectName(QString::fromLatin1(name));
        s->setGeometry(geometry);
        s->setRange(0, 100);
        s->setSingleStep(1);
        s->setPageStep(5);
        s->setTickInterval(25);
        s->setTickPosition(QSlider::TicksBelow);
        s->setValue(value);
        return s;
    };
    auto button = [this](const char *name, QRect geometry, const char *caption) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        return b;
    };
    constexpr int Light = PanelLine::Whiteness;
    constexpr int Dark = PanelLine::CopyPen;
    const auto L = Alignment::Left, R = Alignment::Right, C = Alignment::Centre;

    auto &u = m_ui;
    u.TankCapacityLbl =
        label("TankCapacityLbl", twipRect(5093, 600, 1095, 255), "Tank Capacity:", R);
    u.TankELbl = label("TankELbl", twipRect(480, 2040, 285, 255), "E", C);
    u.Tank14Lbl = label("Tank14Lbl", twipRect(2093, 2040, 255, 255), "1/4", C);
    u.Tank12Lbl = label("Tank12Lbl", twipRect(3653, 2040, 255, 255), "1/2", C);
    u.Tank34Lbl = label("Tank34Lbl", twipRect(5213, 2040, 255, 255), "3/4", C);
    u.TankFLbl = label("TankFLbl", twipRect(6840, 2040, 255, 255), "F", C);
    u.TankVolumeLbl = label("TankVolumeLbl", twipRect(3053, 1080, 615, 255), "Volume:", R);
    u.TankValueLbl = label("TankValueLbl", twipRect(3780, 1080, 495, 255), "8.2", L);
    u.TankOctaneRatingLbl =
        label("TankOctaneRatingLbl", twipRect(660, 600, 1095, 255), "Octane Rating:", R);
    m_paintOrder = {
        line(3, twipPoint(436, 2520), twipPoint(7156, 2520), Dark),
        line(0, twipPoint(413, 2520), twipPoint(413, 360), Light),
        line(1, twipPoint(413, 360), twipPoint(7163, 360), Light),
        line(6, twipPoint(7163, 2880), twipPoint(7163, 5040), Dark),
        line(5, twipPoint(413, 2880), twipPoint(7163, 2880), Light),
        line(4, twipPoint(413, 5040), twipPoint(413, 2880), Light),
        line(7, twipPoint(443, 5040), twipPoint(7163, 5040), Dark),
        nullptr,
    };
    u.TankLbl = label("TankLbl", twipRect(556, 240, 375, 255), "Tank", L);
    m_paintOrder[7] = line(2, twipPoint(7156, 360), twipPoint(7156, 2520), Dark);
    u.PumpLbl = label("PumpLbl", twipRect(540, 2760, 435, 255), "Pump", L);
    u.PumpOctaneRatingLbl =
        label("PumpOctaneRatingLbl", twipRect(653, 3120, 1095, 255), "Octane Rating:", R);
    u.Pump0Lbl = label("Pump0Lbl", twipRect(480, 4560, 285, 255), "0", C);
    u.PumpFullLbl = label("PumpFullLbl", twipRect(6645, 4560, 495, 255), "8.2", L);
    u.PumpVolumeLbl = label("PumpVolumeLbl", twipRect(3045, 3600, 615, 255), "Volume:", R);
    u.PumpValueLbl = label("PumpValueLbl", twipRect(3765, 3600, 495, 255), "8.2", L);
    u.FinalOctaneLbl = label("FinalOctaneLbl", twipRect(4545, 5280, 975, 375), "95.5", L);
    u.FinalOctaneLbl->setFont(resultFont(13.5));
    u.FinalOctaneRatingLbl =
        label("FinalOctaneRatingLbl", twipRect(2314, 5280, 2175, 375), "Final Octane Rating:", R);
    u.FinalOctaneRatingLbl->setFont(resultFont(12));

    u.TankCapacityTxt = textBox("TankCapacityTxt", twipRect(6240, 560, 600, 285), "16.4");
    u.TankOctaneRatingTxt = textBox("TankOctaneRatingTxt", twipRect(1800, 560, 600, 285), "91");
    u.PumpSld = slider("PumpSld", twipRect(495, 3960, 6615, 495), 100);
    u.QuitCmd = button("QuitCmd", twipRect(6000, 5760, 1215, 495), "&Quit");
    u.PumpOctaneRatingTxt = textBox("PumpOctaneRatingTxt", twipRect(1800, 3080, 600, 285), "100");
    u.TankSld = slider("TankSld", twipRect(480, 1440, 6615, 495), 50);
    u.ResetCmd = button("ResetCmd", twipRect(360, 5760, 1215, 495), "&Reset");
    u.AboutCmd = button("AboutCmd", twipRect(5760, 5760, 255, 495), "?");
    u.PicPct = new PictureBox(programIconImage(32), this);
    u.PicPct->setObjectName(QStringLiteral("PicPct"));
    u.PicPct->setGeometry(twipRect(3548, 5760, 495, 495));

    setTabOrder(u.TankOctaneRatingTxt, u.TankCapacityTxt);
    setTabOrder(u.TankCapacityTxt, u.TankSld);
    setTabOrder(u.TankSld, u.PumpOctaneRatingTxt);
    setTabOrder(u.PumpOctaneRatingTxt, u.PumpSld);
    setTabOrder(u.PumpSld, u.ResetCmd);
    setTabOrder(u.ResetCmd, u.AboutCmd);
    setTabOrder(u.AboutCmd, u.QuitCmd);

    // What a screen reader announces. The result labels keep their live text as their name.
    u.TankOctaneRatingTxt->setAccessibleName(QStringLiteral("Tank octane rating"));
    u.TankCapacityTxt->setAccessibleName(QStringLiteral("Tank capacity"));
    u.TankSld->setAccessibleName(QStringLiteral("Tank fill level"));
    u.PumpOctaneRatingTxt->setAccessibleName(QStringLiteral("Pump octane rating"));
    u.PumpSld->setAccessibleName(QStringLiteral("Pump share of free space"));
    u.TankValueLbl->setAccessibleDescription(QStringLiteral("Volume in tank"));
    u.PumpFullLbl->setAccessibleDescription(QStringLiteral("Free space"));
    u.PumpValueLbl->setAccessibleDescription(QStringLiteral("Volume from pump"));
    u.FinalOctaneLbl->setAccessibleDescription(QStringLiteral("Final octane rating"));
    u.ResetCmd->setAccessibleName(QStringLiteral("Reset"));
    u.AboutCmd->setAccessibleName(QStringLiteral("About Fuelix"));
    u.QuitCmd->setAccessibleName(QStringLiteral("Quit"));
    u.PicPct->setAccessibleName(QStringLiteral("Toggle panel look (raised or sunken)"));
    u.TankOctaneRatingLbl->setBuddy(u.TankOctaneRatingTxt);
    u.TankCapacityLbl->setBuddy(u.TankCapacityTxt);
    u.PumpOctaneRatingLbl->setBuddy(u.PumpOctaneRatingTxt);
}

void FuelixFrm::connectHandlers()
{
    // Connected last, so that setting the design-time values raised nothing.
    connect(m_ui.TankOctaneRatingTxt, &QLineEdit::textChanged, this,
            &FuelixFrm::TankOctaneRatingTxt_Change);
    connect(m_ui.TankCapacityTxt, &QLineEdit::textChanged, this,
            &FuelixFrm::TankCapacityTxt_Change);
    connect(m_ui.PumpOctaneRatingTxt, &QLineEdit::textChanged, this,
            &FuelixFrm::PumpOctaneRatingTxt_Change);
    connect(m_ui.TankSld, &ScrollSlider::scrolled, this, &FuelixFrm::TankSld_Scroll);
    connect(m_ui.PumpSld, &ScrollSlider::scrolled, this, &FuelixFrm::PumpSld_Scroll);
    connect(m_ui.ResetCmd, &QPushButton::clicked, this, &FuelixFrm::ResetCmd_Click);
    connect(m_ui.AboutCmd, &QPushButton::clicked, this, &FuelixFrm::AboutCmd_Click);
    connect(m_ui.QuitCmd, &QPushButton::clicked, this, &FuelixFrm::QuitCmd_Click);
    connect(m_ui.PicPct, &PictureBox::clicked, this, &FuelixFrm::PicPct_Click);
}

void FuelixFrm::paintEvent(QPaintEvent *)
{
    // The bevel lines lie on the window's surface; the opaque labels painted after them cover
    // the top edges behind "Tank" and "Pump".
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PanelLine *ln : m_paintOrder)
        ln->paint(painter, palette());
}

void FuelixFrm::TankOctaneRatingTxt_Change()
{
    tidyAndRecalculate(m_ui.TankOctaneRatingTxt);
}

void FuelixFrm::TankCapacityTxt_Change()
{
    tidyAndRecalculate(m_ui.TankCapacityTxt);
}

void FuelixFrm::PumpOctaneRatingTxt_Change()
{
    tidyAndRecalculate(m_ui.PumpOctaneRatingTxt);
}

void FuelixFrm::tidyAndRecalculate(QLineEdit *box)
{
    // A numeric text is replaced by its tidy form; that assignment, when it changes the text,
    // runs this handler once more, nested, before returning here.
    std::optional<std::string> tidy;
    try {
        tidy = TidyForm(box->text().toStdString());
    } catch (const std::exception &error) {
        // Only memory can run out here; the text then stays as typed, like any non-number.
        qWarning("Fuelix: text not tidied: %s", error.what());
    }
    if (tidy)
        assignText(box, qs(*tidy));
    Recalculate();
}

void FuelixFrm::TankSld_Scroll()
{
    Recalculate();
}

void FuelixFrm::PumpSld_Scroll()
{
    Recalculate();
}

void FuelixFrm::Recalculate()
{
    // The model never throws; copying a huge pasted text can, and no exception may leave a slot.
    try {
        recalculateControls();
    } catch (const std::exception &error) {
        qWarning("Fuelix: results not updated: %s", error.what());
    }
    emit recalculated();
}

void FuelixFrm::recalculateControls()
{
    DisplayState state;
    state.TankCapacityTxt = m_ui.TankCapacityTxt->text().toStdString();
    state.TankOctaneRatingTxt = m_ui.TankOctaneRatingTxt->text().toStdString();
    state.PumpOctaneRatingTxt = m_ui.PumpOctaneRatingTxt->text().toStdString();
    state.TankSld = m_ui.TankSld->value();
    state.PumpSld = m_ui.PumpSld->value();
    state.TankValueLbl = m_ui.TankValueLbl->text().toStdString();
    state.PumpFullLbl = m_ui.PumpFullLbl->text().toStdString();
    state.PumpValueLbl = m_ui.PumpValueLbl->text().toStdString();
    state.FinalOctaneLbl = m_ui.FinalOctaneLbl->text().toStdString();
    state.PumpFullLblAlignment = modelAlignment(m_ui.PumpFullLbl->alignment());

    fuelix::Recalculate(state);

    setCaption(m_ui.TankValueLbl, qs(state.TankValueLbl));
    setCaption(m_ui.PumpFullLbl, qs(state.PumpFullLbl));
    setCaption(m_ui.PumpValueLbl, qs(state.PumpValueLbl));
    setCaption(m_ui.FinalOctaneLbl, qs(state.FinalOctaneLbl));
    const Qt::Alignment alignment = qtAlignment(state.PumpFullLblAlignment);
    if (m_ui.PumpFullLbl->alignment() != alignment)
        m_ui.PumpFullLbl->setAlignment(alignment);
}

void FuelixFrm::ResetCmd_Click()
{
    m_ui.Ln[0]->setDrawMode(PanelLine::CopyPen);
    PicPct_Click();
    assignText(m_ui.TankOctaneRatingTxt, QStringLiteral("91"));
    m_ui.TankOctaneRatingTxt->setFocus(Qt::OtherFocusReason);
    assignText(m_ui.TankCapacityTxt, QStringLiteral("16.4"));
    m_ui.TankSld->setValue(50);
    assignText(m_ui.PumpOctaneRatingTxt, QStringLiteral("100"));
    setCaption(m_ui.PumpValueLbl, qs(NumberToText(8.2)));
    m_ui.PumpSld->setValue(100);
    setCaption(m_ui.PumpFullLbl, qs(NumberToText(8.2)));
    // The runs set off above saw the sliders where they stood before Reset; one more makes the
    // results match the restored inputs.
    Recalculate();
}

QString FuelixFrm::aboutText()
{
    // The message is the version line, two carriage returns and the contact address; the
    // message box breaks lines at line feeds, so the two returns become a line and an empty one.
    const QString message = QStringLiteral("            Fuelix v1.1.1         \r\r"
                                           "fuelix@example.org");
    QString shown = message;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void FuelixFrm::AboutCmd_Click()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About"), aboutText(), QMessageBox::Ok,
                    this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void FuelixFrm::QuitCmd_Click()
{
    QCoreApplication::exit(0);
}

void FuelixFrm::PicPct_Click()
{
    // Ln1 alone decides: dark means sunken now, so raise; anything else means sink.
    const bool raise = m_ui.Ln[0]->drawMode() == PanelLine::CopyPen;
    const int lit = raise ? PanelLine::Whiteness : PanelLine::CopyPen;
    const int shaded = raise ? PanelLine::CopyPen : PanelLine::Whiteness;
    for (std::size_t i = 0; i < m_ui.Ln.size(); ++i)
        m_ui.Ln[i]->setDrawMode(i % 4 < 2 ? lit : shaded); // left and top edges are lit
}

} // namespace fuelix
