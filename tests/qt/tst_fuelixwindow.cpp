// The Qt window as Qt lays it out, paints it and delivers its notifications: what the window's
// behaviour tests cannot see. Runs on X11 (xcb) under a virtual X server, as on a desktop, also
// at a scale factor of 2.
#include "qt/fuelixwindow.h"
#include "qt/resultlabel.h"
#include "qt/textbox.h"
#include "tests/support/bevel_corners.h"
#include "window/layout.h"

#include <QtTest>
#include <QtWidgets>

using namespace fuelix;

namespace {

using Modes = std::array<int, 8>;
const Modes Raised{16, 16, 13, 13, 16, 16, 13, 13}, Sunken{13, 13, 16, 16, 13, 13, 16, 16};

struct Harness
{
    Harness()
    {
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) // access keys need an active window
            qWarning("the window did not become active");
        for (QPushButton *button : form.findChildren<QPushButton *>())
            QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
    }
    template <class T = QWidget> T *get(const QString &name)
    {
        T *control = form.findChild<T *>(name, Qt::FindDirectChildrenOnly);
        return control ? control : (qFatal("no %s", qPrintable(name)), nullptr);
    }
    QLineEdit *box(const char *name) { return get<QLineEdit>(name); }
    QString text(const char *name) { return get<QLabel>(name)->text(); }
    Modes modes()
    {
        Modes m;
        for (int i = 0; i < 8; ++i)
            m[i] = get<QObject>(QStringLiteral("Ln%1").arg(i + 1))->property("DrawMode").toInt();
        return m;
    }
    // The pixels the window last put on the screen, not a fresh rendering; the offscreen
    // screen keeps them at one device pixel per logical pixel, so at other scales the window
    // is rendered afresh.
    QImage screen()
    {
        const QImage shown = form.screen()->grabWindow(form.winId()).toImage();
        return shown.devicePixelRatio() == 1 ? shown : form.grab().toImage();
    }

    FuelixWindow form;
    int clicks = 0;
};

QRgb pixel(const QImage &image, QPoint logical)
{
    return image.pixel(logical * (image.width() / 506)); // device pixels at any scale
}

bool isWhite(QRgb c)
{
    return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245;
}

int px(int twips)
{
    return int(std::lround(twips / 15.0));
}

} // namespace

class FuelixWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void laidOut();
    void scenarios_data();
    void scenarios();
    void slidersByMouseAndScreenReader();
    void roundedCaptions();
    void bevelAsPainted_data();
    void bevelAsPainted();
    void pictureClicks();
    void about();
};

void FuelixWindowTest::laidOut()
{
    Harness w;
    QCOMPARE(w.form.objectName(), QStringLiteral("FuelixFrm"));
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Fuelix"));
    QVERIFY(w.form.size() == QSize(506, 441) && w.form.maximumSize() == QSize(506, 441));
    QVERIFY(!(w.form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!w.form.windowIcon().isNull());
    const QPoint off = w.form.geometry().center() - w.form.screen()->availableGeometry().center();
    QVERIFY(off.manhattanLength() <= 2);
    QCOMPARE(w.form.focusWidget(), w.box("TankOctaneRatingTxt"));
    for (const Control &c : Layout) {
        const QString name = QString::fromLatin1(c.name.data(), c.name.size());
        if (c.kind == Kind::Line)
            continue;
        QWidget *widget = w.get(name);
        QCOMPARE(widget->geometry(),
                 QRect(px(c.left), px(c.top), px(c.widthOrRight), px(c.heightOrBottom)));
        // Every fixed text fits its box in the font really used.
        const QString text = widget->property("text").toString().remove('&');
        const int room =
            widget->inherits("QLabel") ? widget->contentsRect().width() : widget->width() - 6;
        QVERIFY2(widget->fontMetrics().horizontalAdvance(text) <= room, qPrintable(name));
        if (c.points > 0) {
            QCOMPARE(widget->font().pointSizeF(), c.points);
            QVERIFY(widget->font().weight() == QFont::Normal && !widget->font().italic());
        }
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            QVERIFY(label->autoFillBackground() && label->focusPolicy() == Qt::NoFocus);
            // A one-character caption's ink lies where the table's alignment puts it.
            const QString caption = label->text();
            label->setText(QStringLiteral("1"));
            const QImage image = label->grab().toImage();
            label->setText(caption);
            int first = image.width(), last = -1;
            for (int x = 0; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        first = std::min(first, x), last = std::max(last, x);
            const int before = first, after = image.width() - 1 - last,
                      slack = 3 * int(image.devicePixelRatio());
            QVERIFY2(c.alignment == Alignment::Left    ? before <= slack
                     : c.alignment == Alignment::Right ? after <= slack
                                                       : std::abs(before - after) <= slack,
                     qPrintable(name));
        }
    }
    QCOMPARE(w.form.recalculations(), 0);
    w.box("TankCapacityTxt")->insert(QString(40000, '7')); // no length limit: kept whole
    QCOMPARE(w.box("TankCapacityTxt")->text().size(), 40004);
}

// The scenarios every front end plays.
void FuelixWindowTest::scenarios_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("checks");
    QFile file(QStringLiteral(FUELIX_SCENARIOS));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!file.atEnd()) {
        const QStringList row = QString::fromUtf8(file.readLine()).chopped(1).split('\t');
        if (row.size() == 3 && !row[0].startsWith('#'))
            QTest::newRow(qPrintable(row[0] + ' ' + row[1])) << row[0] << row[1] << row[2];
    }
}

void FuelixWindowTest::scenarios()
{
    QFETCH(QString, focus);
    QFETCH(QString, keys);
    QFETCH(QString, checks);
    Harness w;
    if (focus != "-") {
        w.get(focus)->setFocus();
        if (auto *box = qobject_cast<QLineEdit *>(w.get(focus)))
            box->selectAll();
    }
    const long runs = w.form.recalculations();
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QWidget *target = w.form.focusWidget();
        if (keys[i] != '{') {
            QTest::keyClicks(target, keys.mid(i, 1));
            continue;
        }
        const qsizetype end = keys.indexOf('}', i);
        const QString name = keys.mid(i + 1, end - i - 1);
        i = end;
        if (name.startsWith(QLatin1String("Paste:"))) {
            qobject_cast<QLineEdit *>(target)->insert(name.mid(6));
        } else if (name.startsWith(QLatin1String("Click:"))) {
            QTest::mouseClick(w.get(name.mid(6)), Qt::LeftButton);
        } else if (name.startsWith(QLatin1String("Menu"))) { // the context menu's Undo or Redo
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                    target->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(target, &event);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            const QString wanted =
                name == "MenuUndo" ? QLineEdit::tr("&Undo") : QLineEdit::tr("&Redo");
            for (QAction *action : menu->actions())
                if (action->text().startsWith(wanted))
                    action->trigger();
            menu->close();
        } else if (name == "KpDecimal") { // as a German layout sends it
            QTest::keyClick(target, Qt::Key_Comma, Qt::KeypadModifier);
        } else {
            const QKeyCombination key = QKeySequence(name)[0];
            const bool alt = key.keyboardModifiers() & Qt::AltModifier;
            const int clicks = w.clicks;
            QTest::keyClick(alt ? &w.form : target, key.key(), key.keyboardModifiers());
            // An access key, or Return on a button, presses it a moment later.
            if (alt || (qobject_cast<QPushButton *>(target) && key.key() == Qt::Key_Return))
                QTRY_VERIFY(w.clicks > clicks);
        }
    }
    const auto seen = [&](const QString &name) {
        if (name == "focus")
            return w.form.focusWidget()->objectName();
        if (name == "bevel")
            return QString(w.modes() == Raised ? "raised" : w.modes() == Sunken ? "sunken" : "?");
        if (name == "runs")
            return QString::number(w.form.recalculations() - runs);
        if (auto *slider = qobject_cast<QSlider *>(w.get(name)))
            return QString::number(slider->value());
        auto *box = qobject_cast<QLineEdit *>(w.get(name));
        if (!box)
            return w.text(qPrintable(name));
        return box->hasFocus() ? box->text().insert(box->cursorPosition(), '|') : box->text();
    };
    for (const QString &check : checks.split(' ')) {
        const QString name = check.section('=', 0, 0), value = check.section('=', 1);
        QCOMPARE(seen(name), value);
    }
    for (const char *name : {"TankOctaneRatingTxt", "TankCapacityTxt", "PumpOctaneRatingTxt"}) {
        const QLineEdit *box = w.box(name); // scrolled to its start, or with nothing to scroll
        QVERIFY2(box->hasFocus() || box->cursorPosition() == 0 ||
                     box->fontMetrics().horizontalAdvance(box->text()) < box->width() - 8,
                 name);
    }
}

void FuelixWindowTest::slidersByMouseAndScreenReader()
{
    Harness w;
    auto *tank = w.get<QSlider>("TankSld");
    auto *reader = QAccessible::queryAccessibleInterface(tank)->valueInterface();
    // A click beside the thumb moves a page toward it; a screen reader's setting of the value
    // already there moves nothing.
    const auto click = [&] {
        QTest::mouseClick(tank, Qt::LeftButton, {}, {tank->width() - 10, 10});
    };
    const std::tuple<std::function<void()>, int, long> moves[] = {
        {click, 55, 1},
        {[&] { reader->setCurrentValue(55); }, 55, 0},
        {[&] { reader->setCurrentValue(20); }, 20, 1}};
    for (const auto &[move, value, runs] : moves) {
        const long before = w.form.recalculations();
        move();
        QCOMPARE(tank->value(), value);
        QCOMPARE(w.form.recalculations() - before, runs);
    }
    QCOMPARE(w.text("TankValueLbl"), QStringLiteral("3.28"));
}

void FuelixWindowTest::roundedCaptions()
{
    Harness w;
    auto *pump = w.get<ResultLabel>("PumpValueLbl");
    auto *final = w.get<ResultLabel>("FinalOctaneLbl");
    w.box("TankCapacityTxt")->setText("19.00206");
    w.box("TankOctaneRatingTxt")->setText("92.158504931649");
    QCOMPARE(pump->text(), QStringLiteral("9.50103"));
    QCOMPARE(pump->toolTip(), QStringLiteral("9.50103"));
    // Shown rounded: the same number to fewer digits, and fitting the box.
    for (ResultLabel *label : std::array{pump, final}) {
        const QString shown = label->shown();
        QVERIFY2(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width(),
                 qPrintable(shown));
        QVERIFY2(label->text().startsWith(shown.chopped(1)) && shown.size() >= 4,
                 qPrintable(shown));
    }
    w.box("TankCapacityTxt")->setText("1.79769313486231E+308");
    QCOMPARE(w.get<ResultLabel>("TankValueLbl")->shown(), QStringLiteral("###"));
    w.box("TankCapacityTxt")->setText("16.4"); // fits again: no tooltip left behind
    QCOMPARE(pump->shown(), QStringLiteral("8.2"));
    QVERIFY(pump->toolTip().isEmpty() && w.get("TankValueLbl")->toolTip().isEmpty());
}

void FuelixWindowTest::bevelAsPainted_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("standard scheme") << false;
    QTest::newRow("dark scheme") << true;
}

void FuelixWindowTest::bevelAsPainted()
{
    QFETCH(bool, dark);
    Harness w;
    if (dark) {
        QPalette p = w.form.palette();
        p.setColor(QPalette::Window, QColor(30, 30, 30));
        p.setColor(QPalette::WindowText, QColor(230, 230, 230));
        w.form.setPalette(p);
    }
    // Raised at start, sunken after a click, raised again after Reset; each time checked on
    // what was last put on the screen, so a missing repaint shows.
    for (const bool raised : {true, false, true}) {
        QCoreApplication::processEvents();
        const QImage image = w.screen();
        const QColor surface = pixel(image, {2, 2});
        // The titles hide the top edges behind them.
        QCOMPARE(QColor(pixel(image, {45, 24})).lightness() / 8, surface.lightness() / 8);
        // Along the edges and at the corners, every device pixel.
        const int scale = image.width() / 506;
        for (const test::Corner &c : test::BevelCorners)
            for (int dx = 0; dx < scale; ++dx)
                for (int dy = 0; dy < scale; ++dy) {
                    const QRgb p = image.pixel(c.x * scale + dx, c.y * scale + dy);
                    const bool white = c.look == 'L' ? raised : !raised;
                    QVERIFY2(c.look == '.' ? QColor(p).lightness() / 8 == surface.lightness() / 8
                             : white       ? isWhite(p)
                                           : qGray(p) < 80,
                             qPrintable(QStringLiteral("%1,%2 %3 surface %4")
                                            .arg(c.x)
                                            .arg(c.y)
                                            .arg(QColor(p).name(), surface.name())));
                }
        QTest::mouseClick(w.get(raised ? "PicPct" : "ResetCmd"), Qt::LeftButton, {}, {8, 8});
    }
}

void FuelixWindowTest::pictureClicks()
{
    Harness w;
    QWidget *picture = w.get("PicPct");
    // A real double click (press, release, double click, release) toggles once.
    QTest::mousePress(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseRelease(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseDClick(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseRelease(picture, Qt::LeftButton, {}, {8, 8});
    QCOMPARE(w.modes(), Sunken);
    // A press released outside the picture is no click.
    QTest::mousePress(picture, Qt::LeftButton, {}, {8, 8});
    QTest::mouseRelease(picture, Qt::LeftButton, {}, {60, 8});
    QCOMPARE(w.modes(), Sunken);
    QTest::mouseClick(picture, Qt::LeftButton, {}, {30, 30});
    QCOMPARE(w.modes(), Raised);
    QCOMPARE(w.form.recalculations(), 0);
}

void FuelixWindowTest::about()
{
    Harness w;
    QString title, text;
    bool noIcon = false, fixed = false, closed = false;
    QTimer::singleShot(0, [&] { // no test macro in here: a box left open would hang the test
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle(), text = box->text();
            noIcon = box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1;
            fixed = !(box->windowFlags() & Qt::WindowMaximizeButtonHint);
            QTest::keyClick(box, Qt::Key_Return);
            closed = !box->isVisible();
            box->reject();
        }
    });
    QTest::mouseClick(w.get("AboutCmd"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("About"));
    QCOMPARE(text, QStringLiteral("            Fuelix v1.1.1         \n\nfuelix@example.org"));
    QVERIFY(noIcon && fixed && closed);
}

QTEST_MAIN(FuelixWindowTest)
#include "tst_fuelixwindow.moc"
