// The real FuelixFrm on the offscreen platform, driven by key and mouse events: its start-up
// state, typing and sliding with the number of recalculations each causes, Reset, About, the
// bevel, the panels as painted, and how the program ends.
#include "window/fuelixfrm.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace {

using Modes = std::array<int, 8>; // DrawMode of Ln1 to Ln8: left, top, right, bottom edges
const Modes Raised = {16, 16, 13, 13, 16, 16, 13, 13}, Sunken = {13, 13, 16, 16, 13, 13, 16, 16};
// Texts, slider positions, results and the free-space alignment at start-up.
const QStringList StartState = {"91", "16.4", "100", "50", "100", "8.2", "8.2", "8.2", "95.5", "L"};

struct Window
{
    Window()
    {
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) // access keys need an active window
            qWarning("the window did not become active");
    }
    template <class T = QWidget> T *get(const QString &name)
    {
        T *control = form.findChild<T *>(name, Qt::FindDirectChildrenOnly);
        return control ? control : (qFatal("no %s", qPrintable(name)), nullptr);
    }
    QLineEdit *box(const char *name) { return get<QLineEdit>(name); }
    QSlider *slider(const char *name) { return get<QSlider>(name); }
    QString text(const char *name) { return get<QLabel>(name)->text(); }
    void click(const char *name, QPoint at = {8, 8})
    {
        QTest::mouseClick(get(name), Qt::LeftButton, {}, at);
    }
    void type(const char *name, const QString &keys)
    {
        box(name)->selectAll();
        QTest::keyClicks(box(name), keys);
    }
    Modes modes()
    {
        Modes modes;
        for (int i = 0; i < 8; ++i)
            modes[i] =
                get<QObject>(QStringLiteral("Ln%1").arg(i + 1))->property("DrawMode").toInt();
        return modes;
    }
    QStringList state()
    {
        const bool centred = get<QLabel>("PumpFullLbl")->alignment() & Qt::AlignHCenter;
        QStringList state;
        for (const char *name : {"TankOctaneRatingTxt", "TankCapacityTxt", "PumpOctaneRatingTxt"})
            state << box(name)->text();
        state << QString::number(slider("TankSld")->value())
              << QString::number(slider("PumpSld")->value());
        for (const char *name : {"TankValueLbl", "PumpFullLbl", "PumpValueLbl", "FinalOctaneLbl"})
            state << text(name);
        return state << (centred ? "C" : "L");
    }

    fuelix::FuelixFrm form;
    QSignalSpy runs{&form, &fuelix::FuelixFrm::recalculated};
};

// A data function whose rows are the entries of a table, found again by their index.
template <class Row, std::size_t N> void rows(const Row (&table)[N])
{
    QTest::addColumn<std::size_t>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(table[i].tag) << i;
}

const int L = Qt::AlignLeft, R = Qt::AlignRight, C = Qt::AlignHCenter;
const struct Control
{
    const char *tag, *kind;
    QRect twips;
    const char *content;
    int alignment;
} Controls[] = {
    // in stacking order, top first
    {"PicPct", "QWidget", {3548, 5760, 495, 495}, "", 0},
    {"AboutCmd", "QPushButton", {5760, 5760, 255, 495}, "?", 0},
    {"ResetCmd", "QPushButton", {360, 5760, 1215, 495}, "&Reset", 0},
    {"TankSld", "QSlider", {480, 1440, 6615, 495}, "50", 0},
    {"PumpOctaneRatingTxt", "QLineEdit", {1800, 3080, 600, 285}, "100", 0},
    {"QuitCmd", "QPushButton", {6000, 5760, 1215, 495}, "&Quit", 0},
    {"PumpSld", "QSlider", {495, 3960, 6615, 495}, "100", 0},
    {"TankOctaneRatingTxt", "QLineEdit", {1800, 560, 600, 285}, "91", 0},
    {"TankCapacityTxt", "QLineEdit", {6240, 560, 600, 285}, "16.4", 0},
    {"FinalOctaneRatingLbl", "QLabel", {2314, 5280, 2175, 375}, "Final Octane Rating:", R},
    {"FinalOctaneLbl", "QLabel", {4545, 5280, 975, 375}, "95.5", L},
    {"PumpValueLbl", "QLabel", {3765, 3600, 495, 255}, "8.2", L},
    {"PumpVolumeLbl", "QLabel", {3045, 3600, 615, 255}, "Volume:", R},
    {"PumpFullLbl", "QLabel", {6645, 4560, 495, 255}, "8.2", L},
    {"Pump0Lbl", "QLabel", {480, 4560, 285, 255}, "0", C},
    {"PumpOctaneRatingLbl", "QLabel", {653, 3120, 1095, 255}, "Octane Rating:", R},
    {"PumpLbl", "QLabel", {540, 2760, 435, 255}, "Pump", L},
    {"TankLbl", "QLabel", {556, 240, 375, 255}, "Tank", L},
    {"TankOctaneRatingLbl", "QLabel", {660, 600, 1095, 255}, "Octane Rating:", R},
    {"TankValueLbl", "QLabel", {3780, 1080, 495, 255}, "8.2", L},
    {"TankVolumeLbl", "QLabel", {3053, 1080, 615, 255}, "Volume:", R},
    {"TankFLbl", "QLabel", {6840, 2040, 255, 255}, "F", C},
    {"Tank34Lbl", "QLabel", {5213, 2040, 255, 255}, "3/4", C},
    {"Tank12Lbl", "QLabel", {3653, 2040, 255, 255}, "1/2", C},
    {"Tank14Lbl", "QLabel", {2093, 2040, 255, 255}, "1/4", C},
    {"TankELbl", "QLabel", {480, 2040, 285, 255}, "E", C},
    {"TankCapacityLbl", "QLabel", {5093, 600, 1095, 255}, "Tank Capacity:", R},
};

// One edit of a box. A numeric text that is not tidy runs Recalculate twice (nested, then in
// the outer handler); keys starting "^V" paste the rest.
const struct Edit
{
    const char *tag, *box, *before;
    int cursor;
    const char *keys, *after;
    int runs;
    const char *tankValue, *finalOctane;
} Edits[] = {
    {"minus before 91", "TankOctaneRatingTxt", "91", 0, "-", "91", 2, "8.2", "95.5"},
    {"point after 16", "TankCapacityTxt", "16", 2, ".", "16", 2, "8", "95.5"},
    {"point between digits", "TankCapacityTxt", "164", 2, ".", "16.4", 1, "8.2", "95.5"},
    {"point after 0", "TankCapacityTxt", "0", 1, ".", "0", 2, "0", "0"},
    {"lone point", "TankCapacityTxt", "", 0, ".", ".", 1, "???", "???"},
    {"5 after point", "TankCapacityTxt", ".", 1, "5", "0.5", 2, "0.25", "95.5"},
    {"trailing zero", "TankCapacityTxt", "16.4", 4, "0", "16.4", 2, "8.2", "95.5"},
    {"1e2 key by key", "TankCapacityTxt", "", 0, "1e2", "100", 4, "50", "95.5"},
    {"tidy, cursor kept", "TankCapacityTxt", "16.4", 1, "5", "156.4", 1, "78.2", "95.5"},
    {"emptied", "TankOctaneRatingTxt", "9", 1, "\b", "", 1, "???", "???"},
    {"letters stay", "PumpOctaneRatingTxt", "", 0, "abc", "abc", 3, "???", "???"},
    {"paste 1e20", "TankCapacityTxt", "", 0, "^V1e20", "1E+20", 2, "5E+19", "95.5"},
    {"paste sign, blanks", "PumpOctaneRatingTxt", "", 0, "^V -97 ", "97", 2, "8.2", "94"},
    {"paste -0", "TankOctaneRatingTxt", "", 0, "^V-0", "0", 2, "8.2", "50"},
    {"paste 16,5", "TankCapacityTxt", "", 0, "^V16,5", "16,5", 1, "???", "???"},
    {"paste 1e999", "TankCapacityTxt", "", 0, "^V1e999", "1e999", 1, "???", "???"},
};

// What was done before Reset, and the recalculations Reset then runs: one for each box it
// changes and a last one of its own, after it has restored the sliders.
const auto sink = [](Window &w) { w.click("PicPct"); };
const struct ResetCase
{
    const char *tag;
    std::function<void(Window &)> before;
    bool byAltR;
    int runs;
} Resets[] = {
    {"start-up state", [](Window &) {}, false, 1},
    {"capacity 20", [](Window &w) { w.type("TankCapacityTxt", "20"); }, false, 2},
    {"capacity abc", [](Window &w) { w.type("TankCapacityTxt", "abc"); }, false, 2},
    {"tank rating 95", [](Window &w) { w.type("TankOctaneRatingTxt", "95"); }, true, 2},
    {"both sliders moved",
     [](Window &w) {
         QTest::keyClick(w.slider("TankSld"), Qt::Key_End);
         QTest::keyClick(w.slider("PumpSld"), Qt::Key_Home);
     },
     false, 1},
    {"boxes and sliders",
     [](Window &w) {
         w.type("TankOctaneRatingTxt", "87"), w.type("TankCapacityTxt", "x");
         w.type("PumpOctaneRatingTxt", "98");
         QTest::keyClick(w.slider("TankSld"), Qt::Key_PageUp);
     },
     false, 4},
    {"sunken", sink, false, 1},
    {"sunken, Alt+R", sink, true, 1},
};

} // namespace

class FuelixFrmTest : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data() { rows(Controls); }
    void startUp();
    void captionsFitTheirBoxes();
    void keyboardOrderAndNames();
    void typing_data() { rows(Edits); }
    void typing();
    void slidersMovedByTheUserOnly();
    void reset_data() { rows(Resets); }
    void reset();
    void about();
    void bevel();
    void panelsAsPainted();
    void ending_data();
    void ending();
};

void FuelixFrmTest::startUp()
{
    QFETCH(std::size_t, row);
    const Control &c = Controls[row];
    Window w;
    QWidget *control = w.get(c.tag);
    QVERIFY(control->inherits(c.kind));
    const auto px = [](int twips) { return int(std::lround(twips / 15.0)); };
    const QRect &t = c.twips;
    QCOMPARE(control->geometry(), QRect(px(t.x()), px(t.y()), px(t.width()), px(t.height())));
    QCOMPARE(control->property(c.kind == QLatin1String("QSlider") ? "value" : "text").toString(),
             QString(c.content));
    if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), c.alignment);
        QVERIFY(label->autoFillBackground() && label->focusPolicy() == Qt::NoFocus);
    }
    if (auto *s = qobject_cast<QSlider *>(control))
        QVERIFY(s->minimum() == 0 && s->maximum() == 100 && s->singleStep() == 1 &&
                s->pageStep() == 5 && s->tickInterval() == 25 && s->tickPosition());
    // Inputs, buttons and the picture lie above every label; "?" lies above "&Quit".
    const QObjectList &stack = w.form.children();
    for (const QLabel *label : w.form.findChildren<QLabel *>())
        QVERIFY(control->inherits("QLabel") || stack.indexOf(control) > stack.indexOf(label));
    QVERIFY(stack.indexOf(w.get("AboutCmd")) > stack.indexOf(w.get("QuitCmd")));

    QCOMPARE(w.form.windowTitle(), QStringLiteral("Fuelix"));
    QVERIFY(w.form.size() == QSize(506, 441) && w.form.maximumSize() == QSize(506, 441));
    QVERIFY(!w.form.windowIcon().isNull());
    const QPoint off = w.form.geometry().center() - w.form.screen()->availableGeometry().center();
    QVERIFY(off.manhattanLength() <= 2);
    QCOMPARE(w.state(), StartState);
    QCOMPARE(w.modes(), Raised);
    QCOMPARE(w.form.focusWidget(), w.box("TankOctaneRatingTxt"));
    QVERIFY(!w.box("TankOctaneRatingTxt")->hasSelectedText());
    QCOMPARE(w.runs.count(), 0); // the stored results are those of the stored inputs
}

void FuelixFrmTest::captionsFitTheirBoxes()
{
    // Measured with the fonts really used, after any substitution of a missing family.
    Window w;
    for (const auto &[name, points] :
         {std::pair{"FinalOctaneRatingLbl", 12.0}, {"FinalOctaneLbl", 13.5}}) {
        const QFont font = w.get(name)->font();
        QCOMPARE(font.pointSizeF(), points);
        QVERIFY(font.weight() == QFont::Normal && !font.italic() && !font.underline());
    }
    for (const QWidget *c : w.form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QString text = c->property("text").toString().remove('&');
        // Line edits and buttons draw a frame and margins of about 3 pixels each side.
        const bool label = c->inherits("QLabel");
        const int room = label ? c->contentsRect().width() : c->width() - 6;
        const QFontMetrics metrics(c->font());
        QVERIFY2(metrics.horizontalAdvance(text) <= room && metrics.height() <= c->height(),
                 qPrintable(c->objectName() + " in " + QFontInfo(c->font()).family()));
        QVERIFY(c->toolTip().isEmpty());
    }
    // A result too wide for its box is clipped; its tooltip shows it whole.
    w.box("TankCapacityTxt")->setText("123456789.123");
    QCOMPARE(w.get("TankValueLbl")->toolTip(), QStringLiteral("61728394.5615"));
}

void FuelixFrmTest::keyboardOrderAndNames()
{
    Window w;
    const QStringList order = QString("TankOctaneRatingTxt TankCapacityTxt TankSld "
                                      "PumpOctaneRatingTxt PumpSld ResetCmd AboutCmd QuitCmd "
                                      "TankOctaneRatingTxt") // and round again
                                  .split(' ');
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(w.form.focusWidget(), Qt::Key_Tab);
        QCOMPARE(w.form.focusWidget()->objectName(), order[i]);
    }
    for (qsizetype i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(w.form.focusWidget(), Qt::Key_Backtab);
        QCOMPARE(w.form.focusWidget()->objectName(), order[i]);
    }
    QCOMPARE(w.runs.count(), 0);

    // Control, accessible name and description; a result is named by its live text.
    for (const char *texts : {
             "TankOctaneRatingTxt|Tank octane rating|",
             "TankCapacityTxt|Tank capacity|",
             "TankSld|Tank fill level|",
             "PumpOctaneRatingTxt|Pump octane rating|",
             "PumpSld|Pump share of free space|",
             "ResetCmd|Reset|",
             "AboutCmd|About Fuelix|",
             "QuitCmd|Quit|",
             "PicPct|Toggle panel look (raised or sunken)|",
             "TankValueLbl|8.2|Volume in tank",
             "PumpFullLbl|8.2|Free space",
             "PumpValueLbl|8.2|Volume from pump",
             "FinalOctaneLbl|95.5|Final octane rating",
         }) {
        const QStringList t = QString(texts).split('|');
        QAccessibleInterface *a11y = QAccessible::queryAccessibleInterface(w.get(t[0]));
        QCOMPARE(a11y->text(QAccessible::Name), t[1]);
        QCOMPARE(a11y->text(QAccessible::Description), t[2]);
    }
    for (const QString box : {"TankOctaneRating", "PumpOctaneRating", "TankCapacity"})
        QCOMPARE(w.get<QLabel>(box + "Lbl")->buddy(), w.get(box + "Txt"));
}

void FuelixFrmTest::typing()
{
    QFETCH(std::size_t, row);
    const Edit &e = Edits[row];
    Window w;
    QLineEdit *box = w.box(e.box);
    box->setText(e.before);
    box->setCursorPosition(e.cursor);
    w.runs.clear();
    const QString keys = e.keys;
    if (keys.startsWith("^V")) {
        QGuiApplication::clipboard()->setText(keys.mid(2));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(box, keys);
    }
    QCOMPARE(box->text(), QString(e.after));
    QCOMPARE(int(w.runs.count()), e.runs);
    QCOMPARE(w.text("TankValueLbl"), QString(e.tankValue));
    QCOMPARE(w.text("FinalOctaneLbl"), QString(e.finalOctane));
    // Writing back a text that is already tidy leaves the insertion point where typing put it.
    if (box->text() == QString(e.before).insert(e.cursor, keys))
        QCOMPARE(box->cursorPosition(), e.cursor + keys.size());
    const bool centred = w.text("PumpFullLbl") == "???" || w.text("PumpFullLbl") == "0";
    QCOMPARE(bool(w.get<QLabel>("PumpFullLbl")->alignment() & Qt::AlignHCenter), centred);
}

void FuelixFrmTest::slidersMovedByTheUserOnly()
{
    Window w;
    QSlider *tank = w.slider("TankSld"), *pump = w.slider("PumpSld");
    const std::tuple<QSlider *, Qt::Key, int, const char *, const char *> keys[] = {
        {tank, Qt::Key_Right, 51, "TankValueLbl", "8.364"},
        {tank, Qt::Key_PageUp, 56, "TankValueLbl", "9.184"},
        {tank, Qt::Key_PageDown, 51, "TankValueLbl", "8.364"},
        {tank, Qt::Key_Left, 50, "TankValueLbl", "8.2"},
        {pump, Qt::Key_Home, 0, "PumpValueLbl", "0"},
        {pump, Qt::Key_End, 100, "PumpValueLbl", "8.2"},
        {tank, Qt::Key_End, 100, "PumpFullLbl", "0"},
        {tank, Qt::Key_Home, 0, "TankValueLbl", "0"},
    };
    for (const auto &[slider, key, value, label, result] : keys) {
        w.runs.clear();
        QTest::keyClick(slider, key);
        QVERIFY(slider->value() == value && w.runs.count() == 1);
        QCOMPARE(w.text(label), QString(result));
    }

    // The mouse: a click on the track beside the thumb moves one page toward the click, and a
    // drag computes on the way with the position reached.
    const auto thumb = [tank] {
        QStyleOptionSlider track;
        track.initFrom(tank);
        track.maximum = 100;
        track.sliderPosition = track.sliderValue = tank->value();
        track.tickPosition = tank->tickPosition();
        auto *style = tank->style();
        return style->subControlRect(QStyle::CC_Slider, &track, QStyle::SC_SliderHandle, tank)
            .center();
    };
    const int y = thumb().y();
    w.runs.clear();
    QTest::mouseClick(tank, Qt::LeftButton, {}, {tank->width() - 20, y});
    QCOMPARE(tank->value(), 5);
    QCOMPARE(w.text("TankValueLbl"), QStringLiteral("0.82"));
    QList<int> seen;
    connect(&w.form, &fuelix::FuelixFrm::recalculated, tank, [&] { seen << tank->value(); });
    QTest::mousePress(tank, Qt::LeftButton, {}, thumb());
    for (int x = thumb().x(); x < tank->width() + 70; x += 50) // on beyond the end: 100
        QTest::mouseMove(tank, {x, y});
    QTest::mouseRelease(tank, Qt::LeftButton, {}, {tank->width() + 20, y});
    QVERIFY(seen.size() >= 3 && seen.last() == 100 && tank->value() == 100);
    QCOMPARE(w.text("TankValueLbl"), QStringLiteral("16.4"));

    // A screen reader setting the value is the user moving it; the program's setValue is not.
    w.runs.clear();
    QAccessible::queryAccessibleInterface(pump)->valueInterface()->setCurrentValue(50);
    QVERIFY(pump->value() == 50 && w.runs.count() == 1);
    tank->setValue(50);
    QCOMPARE(w.runs.count(), 1);
    QCOMPARE(w.text("FinalOctaneLbl"), QStringLiteral("91")); // still from the tank at 100
}

void FuelixFrmTest::reset()
{
    QFETCH(std::size_t, row);
    const ResetCase &r = Resets[row];
    Window w;
    r.before(w);
    QLineEdit *pump = w.box("PumpOctaneRatingTxt");
    pump->setFocus();
    pump->setCursorPosition(1); // a box Reset does not change keeps its insertion point
    const bool pumpUnchanged = pump->text() == "100";
    w.runs.clear();
    if (r.byAltR)
        QTest::keyClick(&w.form, Qt::Key_R, Qt::AltModifier);
    else
        w.click("ResetCmd");
    QTRY_COMPARE(int(w.runs.count()), r.runs); // Alt+R animates the click before it acts
    QCOMPARE(w.state(), StartState);
    QCOMPARE(w.modes(), Raised);
    QCOMPARE(w.form.focusWidget(), w.box("TankOctaneRatingTxt"));
    QVERIFY(!pumpUnchanged || pump->cursorPosition() == 1);
}

void FuelixFrmTest::about()
{
    Window w;
    QString title, text;
    int icon = -1, buttons = 0;
    bool closedByOk = false;
    QTimer::singleShot(0, [&] { // no test macro in here: a box left open would hang the test
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle(), text = box->text(), icon = box->icon();
            buttons = int(box->buttons().size()) * (box->standardButtons() == QMessageBox::Ok);
            QTest::keyClick(box, Qt::Key_Return); // OK
            closedByOk = !box->isVisible();
            if (!closedByOk)
                box->reject();
        }
    });
    w.click("AboutCmd"); // returns once the box is closed
    QCOMPARE(title, QStringLiteral("About"));
    QCOMPARE(text, QStringLiteral("            Fuelix v1.1.1         \n\nfuelix@example.org"));
    QVERIFY(icon == QMessageBox::NoIcon && buttons == 1 && closedByOk);
    QCOMPARE(w.state(), StartState);
    QCOMPARE(w.runs.count(), 0);
}

void FuelixFrmTest::bevel()
{
    Window w;
    w.click("PicPct");
    QCOMPARE(w.modes(), Sunken);
    w.click("PicPct", {30, 30});
    QCOMPARE(w.modes(), Raised);
    // A real double click (press, release, double click, release) toggles once.
    QWidget *picture = w.get("PicPct");
    QTest::mousePress(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseRelease(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseDClick(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseRelease(picture, Qt::LeftButton, {}, {8, 8});
    QCOMPARE(w.modes(), Sunken);
    QCOMPARE(w.state(), StartState);
    QCOMPARE(w.runs.count(), 0);
    // Ln1 alone decides: dark means sunken, to be raised; anything else means raised.
    for (const auto &[ln1, result] : {std::pair{16, Sunken}, {13, Raised}, {7, Sunken}}) {
        w.get<QObject>("Ln1")->setProperty("DrawMode", ln1);
        w.click("PicPct");
        QCOMPARE(w.modes(), result);
    }
}

void FuelixFrmTest::panelsAsPainted()
{
    // Also run at QT_SCALE_FACTOR=2, where every edge must be exactly two device pixels wide.
    Window w;
    for (const bool raised : {true, false, true}) {
        const QImage image = w.form.grab().toImage();
        const int s = qRound(image.devicePixelRatio());
        QCOMPARE(image.size(), QSize(506, 441) * s);
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) // the scale really applied
            QCOMPARE(s, qEnvironmentVariableIntValue("QT_SCALE_FACTOR"));
        // The device pixel at logical (x, y), or dx, dy device pixels right of and below it.
        const auto px = [&](int x, int y, int dx = 0, int dy = 0) {
            return image.pixel(x * s + dx, y * s + dy);
        };
        const QRgb surface = px(2, 2);
        const auto white = [](QRgb c) {
            return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245;
        };
        const auto lit = [&](QRgb c) { return raised == white(c) && (raised || qGray(c) < 80); };
        const auto shaded = [&](QRgb c) {
            return raised != white(c) && (!raised || qGray(c) < 80);
        };
        int title = 0; // "Tank" hides the top edge from x 37 to 61
        for (int x = 29; x <= 478; ++x) {
            if (x >= 37 && x < 62)
                title += qAbs(qGray(px(x, 24)) - qGray(surface)) < 8;
            else if (x != 477) // where the right edge, drawn above, starts
                QVERIFY2(lit(px(x, 24)) && lit(px(x, 24, 0, s - 1)) &&
                             px(x, 23, 0, s - 1) == surface && px(x, 25) == surface,
                         qPrintable(QString::number(x)));
        }
        QVERIFY(title > 5);
        for (int y = 26; y < 167; ++y)
            QVERIFY(lit(px(28, y)) && shaded(px(477, y)) && shaded(px(477, y, s - 1)) &&
                    px(476, y, s - 1) == surface && px(478, y) == surface);
        for (int x = 30; x < 476; ++x) // the pump panel's title hides its top edge up to x 65
            QVERIFY(shaded(px(x, 168)) && shaded(px(x, 336)) && (x < 66 || lit(px(x, 192))));
        for (int y = 194; y < 335; ++y)
            QVERIFY(lit(px(28, y)) && shaded(px(478, y)));
        w.click(raised ? "PicPct" : "ResetCmd");
    }
}

void FuelixFrmTest::ending_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Quit clicked") << 0;
    QTest::newRow("Alt+Q") << 1;
    QTest::newRow("window closed") << 2;
}

void FuelixFrmTest::ending()
{
    QFETCH(int, how);
    Window w;
    QTimer::singleShot(0, &w.form, [&] {
        if (how == 2)
            w.form.close();
        else if (how == 1)
            QTest::keyClick(&w.form, Qt::Key_Q, Qt::AltModifier);
        else
            w.click("QuitCmd");
    });
    QTimer::singleShot(5000, &w.form, [] { QCoreApplication::exit(3); }); // not ended: fail
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(w.runs.count(), 0);
}

QTEST_MAIN(FuelixFrmTest)
#include "tst_fuelixfrm.moc"
