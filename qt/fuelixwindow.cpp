#include "qt/fuelixwindow.h"

#include "qt/icon.h"
#include "qt/panelline.h"
#include "qt/picturebox.h"
#include "qt/resultlabel.h"
#include "qt/scrollslider.h"
#include "qt/textbox.h"
#include "window/layout.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <map>

namespace fuelix {

namespace {

// The layout is given in twips: 15 to a pixel at 96 dots per inch.
int px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
        QFont::insertSubstitution(qs(ResultFontFamily), QStringLiteral("DejaVu Sans Condensed"));
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(qs(ResultFontFamily));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// Fixed size: no maximise button that would do nothing.
constexpr Qt::WindowFlags FixedFrame = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// A plain top-level widget reaches screen readers as a "filler"; the one window of the program
// is announced as a window, with its title.
QAccessibleInterface *accessibleWindow(const QString &className, QObject *object)
{
    if (className == QLatin1String(FuelixWindow::staticMetaObject.className()) &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// Enter on a focused push button presses it, as Space does.
class CommandButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            animateClick();
        else
            QPushButton::keyPressEvent(event);
    }
};

template <std::size_t N>
std::size_t indexOf(const std::array<std::string_view, N> &names, std::string_view name)
{
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

} // namespace

FuelixWindow::FuelixWindow(QWidget *parent) : QWidget(parent, Qt::Window | FixedFrame)
{
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(accessibleWindow);
        return true;
    }();
    Q_UNUSED(accessibleAsWindow);
    setObjectName(qs(MainWindow.name));
    setWindowTitle(qs(MainWindow.title));
    setWindowIcon(programIcon());
    setFont(windowFont());
    setFixedSize(px(MainWindow.clientWidth), px(MainWindow.clientHeight));

    // Bottom of the stacking order first, so that each widget covers those made before it.
    std::map<int, QWidget *> tabOrder;
    for (auto c = Layout.rbegin(); c != Layout.rend(); ++c) {
        createControl(*c);
        if (auto *w = findChild<QWidget *>(qs(c->name)); w && w->focusPolicy() & Qt::TabFocus)
            tabOrder[c->tabIndex] = w;
    }
    for (auto it = tabOrder.begin(); std::next(it) != tabOrder.end(); ++it)
        setTabOrder(it->second, std::next(it)->second);
    // Each box is labelled by the caption of the same name, for screen readers.
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        findChild<QLabel *>(qs(BoxNames[i]).replace(QLatin1String("Txt"), QLatin1String("Lbl")))
            ->setBuddy(m_boxes[i]);
    connectHandlers();
    setFocus(Box::TankOctaneRatingTxt);

    // The client area is centred; the window manager adds its frame around it.
    QRect client(QPoint(), size());
    client.moveCenter(screen()->availableGeometry().center());
    setGeometry(client);
}

FuelixWindow::~FuelixWindow()
{
    // Hiding the window on its way out takes the focus from a box, which would otherwise call a
    // handler of this half-destroyed window.
    for (TextBox *box : m_boxes)
        box->disconnect(this);
}

void FuelixWindow::createControl(const Control &c)
{
    const QString name = qs(c.name);
    const QRect rect(px(c.left), px(c.top), px(c.widthOrRight), px(c.heightOrBottom));
    QWidget *widget = nullptr;
    switch (c.kind) {
    case Kind::Line: {
        const QPoint to(px(c.widthOrRight), px(c.heightOrBottom));
        auto *ln = new PanelLine(name, rect.topLeft(), to, c.value, this);
        m_lines[static_cast<std::size_t>(name.mid(2).toInt() - 1)] = ln;
        m_paintOrder.push_back(ln);
        return;
    }
    case Kind::Label: {
        const std::size_t result = indexOf(ResultNames, c.name);
        auto *label = result < m_results.size() ? m_results[result] = new ResultLabel(this)
                                                : new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(qtAlignment(c.alignment));
        label->setAutoFillBackground(true);
        widget = label;
        break;
    }
    case Kind::TextBox:
        widget = m_boxes[indexOf(BoxNames, c.name)] = new TextBox(qs(c.content), this);
        break;
    case Kind::Slider: {
        auto *s = m_sliders[indexOf(SliderNames, c.name)] = new ScrollSlider(this);
        s->setRange(Sliders.minimum, Sliders.maximum);
        s->setSingleStep(Sliders.lineStep);
        s->setPageStep(Sliders.pageStep);
        s->setTickInterval(Sliders.tickInterval);
        s->setTickPosition(QSlider::TicksBelow);
        s->setValue(c.value);
        widget = s;
        break;
    }
    case Kind::PushButton: {
        auto *b = new CommandButton(qs(c.content), this);
        b->setAutoDefault(false);
        widget = b;
        break;
    }
    case Kind::PictureBox:
        widget = new PictureBox(programIconImage(32), this);
        break;
    }
    widget->setObjectName(name);
    widget->setGeometry(rect);
    if (c.points > 0)
        widget->setFont(resultFont(c.points));
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (auto *result = qobject_cast<ResultLabel *>(label))
            result->setCaption(qs(c.content));
        else
            label->setText(qs(c.content));
    }
    const std::string_view spoken = spokenName(c.name);
    if (!spoken.empty() && indexOf(ResultNames, c.name) < ResultNames.size())
        widget->setAccessibleDescription(qs(spoken)); // a result's name is its live text
    else if (!spoken.empty())
        widget->setAccessibleName(qs(spoken));
}

template <class Handler> void FuelixWindow::run(Handler handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        qWarning("Fuelix: %s", error.what());
    }
}

void FuelixWindow::connectHandlers()
{
    // Connected last, so that setting the design-time values raised nothing.
    static constexpr std::array<void (FuelixFrm::*)(), 3> changes{
        &FuelixFrm::TankOctaneRatingTxt_Change, &FuelixFrm::TankCapacityTxt_Change,
        &FuelixFrm::PumpOctaneRatingTxt_Change};
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        connect(m_boxes[i], &TextBox::changed, this,
                [this, i] { run([&] { (m_frm.*changes[i])(); }); });
        const auto box = static_cast<Box>(i);
        connect(m_boxes[i], &TextBox::finished, this,
                [this, box] { run([&] { m_frm.finishEditing(box); }); });
        connect(m_boxes[i], &TextBox::undoRequested, this,
                [this, box] { run([&] { m_frm.undo(box); }); });
        connect(m_boxes[i], &TextBox::redoRequested, this,
                [this, box] { run([&] { m_frm.redo(box); }); });
        m_boxes[i]->canUndo = [this, box] { return m_frm.canUndo(box); };
        m_boxes[i]->canRedo = [this, box] { return m_frm.canRedo(box); };
    }
    connect(m_sliders[0], &ScrollSlider::scrolled, this,
            [this] { run([this] { m_frm.TankSld_Scroll(); }); });
    connect(m_sliders[1], &ScrollSlider::scrolled, this,
            [this] { run([this] { m_frm.PumpSld_Scroll(); }); });
    const auto button = [this](const char *name) {
        return findChild<QPushButton *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    };
    connect(button("ResetCmd"), &QPushButton::clicked, this,
            [this] { run([this] { m_frm.ResetCmd_Click(); }); });
    connect(button("AboutCmd"), &QPushButton::clicked, this,
            [this] { run([this] { m_frm.AboutCmd_Click(); }); });
    connect(button("QuitCmd"), &QPushButton::clicked, this,
            [this] { run([this] { m_frm.QuitCmd_Click(); }); });
    connect(findChild<PictureBox *>(), &PictureBox::clicked, this,
            [this] { run([this] { m_frm.PicPct_Click(); }); });
}

void FuelixWindow::paintEvent(QPaintEvent *)
{
    // The bevel lines lie on the window's surface; the opaque labels painted after them cover
    // the top edges behind "Tank" and "Pump".
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PanelLine *ln : m_paintOrder)
        ln->paint(painter, palette());
}

std::string FuelixWindow::text(Box box) const
{
    return m_boxes[static_cast<std::size_t>(box)]->text().toStdString();
}

void FuelixWindow::setText(Box box, std::string_view text)
{
    m_boxes[static_cast<std::size_t>(box)]->assign(qs(text));
}

int FuelixWindow::caret(Box box) const
{
    return m_boxes[static_cast<std::size_t>(box)]->cursorPosition();
}

void FuelixWindow::setCaret(Box box, int caret)
{
    m_boxes[static_cast<std::size_t>(box)]->setCursorPosition(caret);
}

int FuelixWindow::value(Slider slider) const
{
    return m_sliders[static_cast<std::size_t>(slider)]->value();
}

void FuelixWindow::setValue(Slider slider, int value)
{
    m_sliders[static_cast<std::size_t>(slider)]->setValue(value);
}

std::string FuelixWindow::caption(Result label) const
{
    return m_results[static_cast<std::size_t>(label)]->text().toStdString();
}

void FuelixWindow::setCaption(Result label, std::string_view caption)
{
    m_results[static_cast<std::size_t>(label)]->setCaption(qs(caption));
}

Alignment FuelixWindow::pumpFullAlignment() const
{
    const Qt::Alignment alignment = m_results[1]->alignment();
    if (alignment & Qt::AlignRight)
        return Alignment::Right;
    return alignment & Qt::AlignHCenter ? Alignment::Centre : Alignment::Left;
}

void FuelixWindow::setPumpFullAlignment(Alignment alignment)
{
    m_results[1]->setAlignment(qtAlignment(alignment));
}

int FuelixWindow::drawMode(int line) const
{
    return m_lines[static_cast<std::size_t>(line)]->drawMode();
}

void FuelixWindow::setDrawMode(int line, int mode)
{
    m_lines[static_cast<std::size_t>(line)]->setDrawMode(mode);
}

void FuelixWindow::setFocus(Box box)
{
    TextBox *target = m_boxes[static_cast<std::size_t>(box)];
    target->setFocus(Qt::OtherFocusReason);
    target->selectAll();
}

void FuelixWindow::showMessage(std::string_view message, std::string_view title)
{
    // The message breaks its lines at carriage returns; Qt breaks them at line feeds.
    QMessageBox box(QMessageBox::NoIcon, qs(title), qs(message).replace(u'\r', u'\n'),
                    QMessageBox::Ok, this, Qt::Dialog | FixedFrame);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void FuelixWindow::quit()
{
    QCoreApplication::exit(0);
}

} // namespace fuelix
