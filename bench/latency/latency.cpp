// Input latency of the real window: from a key event reaching a control to the changed results
// painted and flushed, per keystroke and per slider step, plus what one keystroke costs in
// recalculations and repaints, and how the window copes with a megabyte pasted into a box.
//
//   fuelix_latency [--keys N] [--steps N]
//
// Runs on whatever platform QT_QPA_PLATFORM names (offscreen when unset); under Xvfb with
// xcb the times include putting the pixels on the X server.

#include "qt/fuelixwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// Counts paint events per label; the bench resets it before every input.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(std::vector<QLabel *> labels) : m_labels(std::move(labels))
    {
        for (QLabel *label : m_labels)
            label->installEventFilter(this);
        m_painted.assign(m_labels.size(), 0);
    }

    void reset() { std::fill(m_painted.begin(), m_painted.end(), 0); }
    int total() const
    {
        int sum = 0;
        for (int n : m_painted)
            sum += n;
        return sum;
    }
    bool painted(std::size_t i) const { return m_painted[i] > 0; }
    std::size_t size() const { return m_labels.size(); }
    QLabel *label(std::size_t i) const { return m_labels[i]; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto it = std::find(m_labels.begin(), m_labels.end(), watched);
            if (it != m_labels.end())
                ++m_painted[std::size_t(it - m_labels.begin())];
        }
        return false;
    }

private:
    std::vector<QLabel *> m_labels;
    std::vector<int> m_painted;
};

// Counts every widget paint in one window, whatever the widget.
class WindowPaintCounter : public QObject
{
public:
    explicit WindowPaintCounter(QWidget *window) : m_window(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    long count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window)
            ++count;
        return false;
    }

private:
    QWidget *m_window;
};

struct Sample
{
    double ms = 0;
    long recalculations = 0;
    int paints = 0;
    long widgetPaints = 0;
    bool allPainted = true; // every result whose text changed was repainted
};

struct Bench
{
    fuelix::FuelixWindow *form = nullptr;
    PaintCounter *counter = nullptr;
    WindowPaintCounter *allPaints = nullptr;

    // Delivers one input, then runs the event loop until every result label whose text changed
    // has been painted and nothing more is pending.
    template <typename Input> Sample measure(Input &&input)
    {
        std::array<QString, 4> before;
        for (std::size_t i = 0; i < counter->size(); ++i)
            before[i] = counter->label(i)->text();
        counter->reset();
        const long runsBefore = form->recalculations();
        const long paintsBefore = allPaints->count;
        QElapsedTimer clock;
        clock.start();
        input();
        Sample sample;
        for (int round = 0; round < 100; ++round) {
            QCoreApplication::processEvents();
            bool done = true;
            for (std::size_t i = 0; i < counter->size(); ++i)
                done = done && (counter->label(i)->text() == before[i] || counter->painted(i));
            if (done)
                break;
            sample.allPainted = round < 99;
        }
        sample.ms = double(clock.nsecsElapsed()) / 1e6;
        sample.recalculations = form->recalculations() - runsBefore;
        sample.paints = counter->total();
        sample.widgetPaints = allPaints->count - paintsBefore;
        return sample;
    }
};

struct Summary
{
    double median = 0, p99 = 0, max = 0;
    double recalculationsPerInput = 0, paintsPerInput = 0, widgetPaintsPerInput = 0;
    long unpainted = 0;
};

Summary summarise(std::vector<Sample> samples)
{
    Summary s;
    if (samples.empty())
        return s;
    for (const Sample &sample : samples) {
        s.recalculationsPerInput += double(sample.recalculations);
        s.paintsPerInput += sample.paints;
        s.widgetPaintsPerInput += double(sample.widgetPaints);
        s.unpainted += sample.allPainted ? 0 : 1;
    }
    s.recalculationsPerInput /= double(samples.size());
    s.paintsPerInput /= double(samples.size());
    s.widgetPaintsPerInput /= double(samples.size());
    std::sort(samples.begin(), samples.end(),
              [](const Sample &a, const Sample &b) { return a.ms < b.ms; });
    const std::size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2].ms : (samples[n / 2 - 1].ms + samples[n / 2].ms) / 2;
    s.p99 = samples[std::min(n - 1, (n * 99 + 99) / 100 - 1)].ms;
    s.max = samples.back().ms;
    return s;
}

void printRow(const char *what, std::size_t count, const Summary &s)
{
    std::printf("| %s | %zu | %.3f ms | %.3f ms | %.3f ms | %.2f | %.2f | %.2f |\n", what, count,
                s.median, s.p99, s.max, s.recalculationsPerInput, s.paintsPerInput,
                s.widgetPaintsPerInput);
    if (s.unpainted)
        std::printf("\nwarning: %ld inputs left a changed result unpainted\n\n", s.unpainted);
}

long argument(int argc, char **argv, const char *flag, long fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == flag)
            return std::strtol(argv[i + 1], nullptr, 10);
    return fallback;
}

// Time until a zero-delay timer fires: how long the event loop takes to answer again.
double eventLoopAnswerMs()
{
    bool fired = false;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, [&] { fired = true; });
    while (!fired)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long keys = argument(argc, argv, "--keys", 2000);
    const long steps = argument(argc, argv, "--steps", 2000);

    fuelix::FuelixWindow form;
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "fuelix_latency: the window was never exposed\n");
        return 1;
    }
    auto *capacity = form.findChild<QLineEdit *>(QStringLiteral("TankCapacityTxt"));
    auto *tankSlider = form.findChild<QSlider *>(QStringLiteral("TankSld"));
    auto *pumpSlider = form.findChild<QSlider *>(QStringLiteral("PumpSld"));
    std::vector<QLabel *> labels;
    for (const char *name : {"TankValueLbl", "PumpFullLbl", "PumpValueLbl", "FinalOctaneLbl"})
        labels.push_back(form.findChild<QLabel *>(QString::fromLatin1(name)));
    if (!capacity || !tankSlider || !pumpSlider ||
        std::count(labels.begin(), labels.end(), nullptr)) {
        std::fprintf(stderr, "fuelix_latency: controls missing\n");
        return 1;
    }
    PaintCounter counter(labels);
    WindowPaintCounter allPaints(&form);
    Bench bench{&form, &counter, &allPaints};
    QCoreApplication::processEvents();

    std::printf("platform %s, Qt %s\n\n", qPrintable(QGuiApplication::platformName()), qVersion());
    std::printf("| input | count | median | p99 | max | Recalculate runs per input | result "
                "label repaints | widget repaints in all |\n|---|---|---|---|---|---|---|---|\n");

    // Typing into the capacity box: a digit, then Backspace, so the value stays sensible and
    // every keystroke changes the results.
    capacity->setFocus();
    capacity->end(false);
    std::vector<Sample> typed;
    std::vector<Sample> typedDigits, typedBackspaces;
    for (long i = 0; i < keys; ++i) {
        const bool digit = i % 2 == 0;
        const char ch = char('1' + (i / 2) % 9);
        const Sample sample = bench.measure([&] {
            if (digit)
                QTest::keyClick(capacity, ch);
            else
                QTest::keyClick(capacity, Qt::Key_Backspace);
        });
        typed.push_back(sample);
        (digit ? typedDigits : typedBackspaces).push_back(sample);
    }
    printRow("keystroke in TankCapacityTxt (digit or Backspace)", typed.size(), summarise(typed));
    printRow("  of which digits", typedDigits.size(), summarise(typedDigits));

    // Slider steps by the arrow keys, back and forth across part of the range.
    for (QSlider *slider : {tankSlider, pumpSlider}) {
        slider->setFocus();
        std::vector<Sample> moved;
        for (long i = 0; i < steps; ++i) {
            const bool up = (i / 20) % 2 == 0;
            moved.push_back(
                bench.measure([&] { QTest::keyClick(slider, up ? Qt::Key_Left : Qt::Key_Right); }));
        }
        const std::string what = "arrow key on " + slider->objectName().toStdString();
        printRow(what.c_str(), moved.size(), summarise(moved));
    }

    // A megabyte on the clipboard, pasted over the whole box.
    std::printf("\n| pasted into TankCapacityTxt | paste to painted | box then holds | "
                "event loop answers after | next keystroke |\n|---|---|---|---|---|\n");
    for (const char fill : {'7', 'x'}) {
        QApplication::clipboard()->setText(QString(1 << 20, QChar::fromLatin1(fill)));
        capacity->setFocus();
        const Sample pasted = bench.measure([&] {
            QTest::keyClick(capacity, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(capacity, Qt::Key_V, Qt::ControlModifier);
        });
        const qsizetype held = capacity->text().size();
        const double answer = eventLoopAnswerMs();
        const Sample next = bench.measure([&] { QTest::keyClick(capacity, Qt::Key_Backspace); });
        std::printf("| 1 MiB of '%c' | %.2f ms (%ld Recalculate runs) | %lld characters | "
                    "%.3f ms | %.2f ms |\n",
                    fill, pasted.ms, pasted.recalculations, static_cast<long long>(held), answer,
                    next.ms);
        QTest::keyClick(capacity, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(capacity, QStringLiteral("16.4"));
    }
    return 0;
}
