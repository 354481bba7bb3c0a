// Random-input soak of the real window: a seeded stream of what a user can do with keyboard,
// mouse and clipboard, each followed by a check of the invariants that must hold whatever
// came before. A failure names the seed and the action index, which replays it exactly.
//
//   fuelix_soak [--seed N] [--actions N] [--verbose]
//   (or FUELIX_SOAK_SEED / FUELIX_SOAK_ACTIONS in the environment)

#include "model/blend.h"
#include "model/number_text.h"
#include "window/fuelixfrm.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>

namespace {

constexpr std::uint64_t DefaultSeed = 20261207;
constexpr long DefaultActions = 20000;

struct Failure
{
    std::string what;
};

// Everything the soak touches, found by the names every control carries.
struct Controls
{
    fuelix::FuelixFrm *form = nullptr;
    std::array<QLineEdit *, 3> boxes{}; // TankOctaneRating, TankCapacity, PumpOctaneRating
    std::array<QSlider *, 2> sliders{}; // TankSld, PumpSld
    QLabel *tankValue = nullptr, *pumpFull = nullptr, *pumpValue = nullptr, *finalOctane = nullptr;
    QPushButton *reset = nullptr, *about = nullptr;
    QWidget *picture = nullptr;
    std::array<QObject *, 8> lines{};
};

template <typename T> T *child(QObject *parent, const char *name)
{
    auto *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        throw Failure{std::string("no control named ") + name};
    return found;
}

Controls findControls(fuelix::FuelixFrm *form)
{
    Controls c;
    c.form = form;
    c.boxes = {child<QLineEdit>(form, "TankOctaneRatingTxt"),
               child<QLineEdit>(form, "TankCapacityTxt"),
               child<QLineEdit>(form, "PumpOctaneRatingTxt")};
    c.sliders = {child<QSlider>(form, "TankSld"), child<QSlider>(form, "PumpSld")};
    c.tankValue = child<QLabel>(form, "TankValueLbl");
    c.pumpFull = child<QLabel>(form, "PumpFullLbl");
    c.pumpValue = child<QLabel>(form, "PumpValueLbl");
    c.finalOctane = child<QLabel>(form, "FinalOctaneLbl");
    c.reset = child<QPushButton>(form, "ResetCmd");
    c.about = child<QPushButton>(form, "AboutCmd");
    c.picture = child<QWidget>(form, "PicPct");
    for (int i = 0; i < 8; ++i)
        c.lines[std::size_t(i)] = child<QObject>(form, ("Ln" + std::to_string(i + 1)).c_str());
    return c;
}

fuelix::Alignment alignmentOf(const QLabel *label)
{
    const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        return fuelix::Alignment::Right;
    if (horizontal & Qt::AlignHCenter)
        return fuelix::Alignment::Centre;
    return fuelix::Alignment::Left;
}

// The window as the model sees it.
fuelix::DisplayState stateOf(const Controls &c)
{
    fuelix::DisplayState s;
    s.TankOctaneRatingTxt = c.boxes[0]->text().toStdString();
    s.TankCapacityTxt = c.boxes[1]->text().toStdString();
    s.PumpOctaneRatingTxt = c.boxes[2]->text().toStdString();
    s.TankSld = c.sliders[0]->value();
    s.PumpSld = c.sliders[1]->value();
    s.TankValueLbl = c.tankValue->text().toStdString();
    s.PumpFullLbl = c.pumpFull->text().toStdString();
    s.PumpValueLbl = c.pumpValue->text().toStdString();
    s.FinalOctaneLbl = c.finalOctane->text().toStdString();
    s.PumpFullLblAlignment = alignmentOf(c.pumpFull);
    return s;
}

enum class Look
{
    Raised,
    Sunken,
    Mixed
};

Look lookOf(const Controls &c)
{
    // Left and top edges (Ln1, Ln2, Ln5, Ln6) white and the others dark is raised.
    static constexpr std::array<bool, 8> whiteWhenRaised = {true, true, false, false,
                                                            true, true, false, false};
    bool raised = true, sunken = true;
    for (std::size_t i = 0; i < 8; ++i) {
        const int mode = c.lines[i]->property("DrawMode").toInt();
        raised = raised && mode == (whiteWhenRaised[i] ? 16 : 13);
        sunken = sunken && mode == (whiteWhenRaised[i] ? 13 : 16);
    }
    return raised ? Look::Raised : sunken ? Look::Sunken : Look::Mixed;
}

std::string quoted(const QString &text)
{
    std::string s = text.left(40).toStdString();
    return "'" + s + (text.size() > 40 ? "'... (" + std::to_string(text.size()) + " chars)" : "'");
}

void checkInvariants(const Controls &c)
{
    for (const QLineEdit *box : c.boxes) {
        const std::string text = box->text().toStdString();
        const auto tidy = fuelix::TidyForm(text);
        if (tidy && *tidy != text)
            throw Failure{box->objectName().toStdString() + " holds the untidy number " +
                          quoted(box->text()) + ", tidy form '" + *tidy + "'"};
    }
    const fuelix::DisplayState shown = stateOf(c);
    fuelix::DisplayState expected = shown;
    fuelix::Recalculate(expected);
    if (shown != expected)
        throw Failure{"results " + shown.TankValueLbl + " / " + shown.PumpFullLbl + " / " +
                      shown.PumpValueLbl + " / " + shown.FinalOctaneLbl + " (alignment " +
                      std::to_string(int(shown.PumpFullLblAlignment)) + ") where the inputs give " +
                      expected.TankValueLbl + " / " + expected.PumpFullLbl + " / " +
                      expected.PumpValueLbl + " / " + expected.FinalOctaneLbl + " (alignment " +
                      std::to_string(int(expected.PumpFullLblAlignment)) + ")"};
    if (lookOf(c) == Look::Mixed)
        throw Failure{"the eight lines show neither the raised nor the sunken look"};
}

class Soak
{
public:
    Soak(Controls controls, std::uint64_t seed) : m_c(controls), m_random(seed)
    {
        QObject::connect(m_c.form, &fuelix::FuelixFrm::recalculated, m_c.form,
                         [this] { ++m_recalculations; });
    }

    // Runs one random action and returns its name; throws Failure when an expectation
    // particular to that action does not hold.
    const char *step()
    {
        // Weights out of 1000: typing and sliding dominate, as they do for a user.
        static constexpr Kind kinds[] = {
            {330, "type", &Soak::typeCharacter},
            {420, "edit-key", &Soak::editKey},
            {480, "paste", &Soak::paste},
            {500, "cut", &Soak::cutAll},
            {530, "click-box", &Soak::clickInBox},
            {730, "slider-key", &Soak::sliderKey},
            {800, "track-click", &Soak::trackClick},
            {831, "reset-click", &Soak::resetClick},
            {832, "reset-alt-r", &Soak::resetAltR},
            {900, "picture-click", &Soak::pictureClick},
            {940, "picture-double-click", &Soak::pictureDoubleClick},
            {944, "about", &Soak::openAbout},
            {1000, "tab", &Soak::focusKey},
        };
        const int roll = below(1000);
        for (const Kind &kind : kinds)
            if (roll < kind.upTo) {
                m_doing = kind.name;
                return (this->*kind.run)();
            }
        return m_doing;
    }

    // The action under way, for the failure report.
    const char *doing() const { return m_doing; }

private:
    int below(int n) { return int(m_random() % std::uint64_t(n)); }
    QLineEdit *anyBox() { return m_c.boxes[std::size_t(below(3))]; }
    QSlider *anySlider() { return m_c.sliders[std::size_t(below(2))]; }

    QString randomText(int length)
    {
        static const char alphabet[] = "0123456789.-+eE abcxyzXYZ\t,;%";
        QString s;
        s.reserve(length);
        // Mostly number-like texts, so that pastes exercise the tidying as well as "???".
        const bool numberish = below(2) == 0;
        for (int i = 0; i < length; ++i)
            s += QChar::fromLatin1(numberish && below(4) ? "0123456789"[below(10)]
                                                         : alphabet[below(sizeof alphabet - 1)]);
        return s;
    }

    const char *typeCharacter()
    {
        static const char keys[] = "0123456789.-+eE abcdefghijklmnopqrstuvwxyzQ";
        QLineEdit *box = anyBox();
        // Digits are the common case; the rest are the interesting ones.
        const char ch = below(2) ? "0123456789"[below(10)] : keys[below(sizeof keys - 1)];
        QTest::keyClick(box, ch);
        return "type";
    }

    const char *editKey()
    {
        static constexpr std::array<Qt::Key, 6> keys = {Qt::Key_Backspace, Qt::Key_Delete,
                                                        Qt::Key_Left,      Qt::Key_Right,
                                                        Qt::Key_Home,      Qt::Key_End};
        QLineEdit *box = anyBox();
        if (below(6) == 0) {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            return "select-all";
        }
        QTest::keyClick(box, keys[std::size_t(below(int(keys.size())))],
                        below(5) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        return "edit-key";
    }

    const char *paste()
    {
        QLineEdit *box = anyBox();
        const int kind = below(20);
        // Now and then a long one: the program must take a screenful of junk in its stride.
        const int length = kind == 0 ? 1000 + below(20000) : 1 + below(kind < 4 ? 60 : 8);
        QApplication::clipboard()->setText(randomText(length));
        if (below(3) == 0)
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        return "paste";
    }

    const char *cutAll()
    {
        QLineEdit *box = anyBox();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        return "cut";
    }

    const char *clickInBox()
    {
        QLineEdit *box = anyBox();
        QTest::mouseClick(box, Qt::LeftButton, {},
                          QPoint(1 + below(qMax(1, box->width() - 2)), box->height() / 2));
        return "click-box";
    }

    const char *sliderKey()
    {
        static constexpr std::array<Qt::Key, 8> keys = {
            Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
            Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        QSlider *slider = anySlider();
        const int before = slider->value();
        const Qt::Key key = keys[std::size_t(below(int(keys.size())))];
        QTest::keyClick(slider, key);
        const int after = slider->value();
        if (key == Qt::Key_Home && after != slider->minimum())
            throw Failure{"Home left the slider at " + std::to_string(after)};
        if (key == Qt::Key_End && after != slider->maximum())
            throw Failure{"End left the slider at " + std::to_string(after)};
        if (std::abs(after - before) > slider->pageStep() && key != Qt::Key_Home &&
            key != Qt::Key_End)
            throw Failure{"one key moved the slider from " + std::to_string(before) + " to " +
                          std::to_string(after)};
        return "slider-key";
    }

    const char *trackClick()
    {
        QSlider *slider = anySlider();
        const int before = slider->value();
        QTest::mouseClick(slider, Qt::LeftButton, {},
                          QPoint(below(slider->width()), slider->height() / 2));
        if (std::abs(slider->value() - before) > slider->pageStep())
            throw Failure{"a track click moved the slider from " + std::to_string(before) + " to " +
                          std::to_string(slider->value())};
        return "track-click";
    }

    void expectResetState()
    {
        const fuelix::DisplayState s = stateOf(m_c);
        if (s.TankOctaneRatingTxt != "91" || s.TankCapacityTxt != "16.4" ||
            s.PumpOctaneRatingTxt != "100" || s.TankSld != 50 || s.PumpSld != 100)
            throw Failure{"Reset left the inputs at '" + s.TankOctaneRatingTxt + "', '" +
                          s.TankCapacityTxt + "', '" + s.PumpOctaneRatingTxt + "', " +
                          std::to_string(s.TankSld) + ", " + std::to_string(s.PumpSld)};
        if (lookOf(m_c) != Look::Raised)
            throw Failure{"Reset left the panels sunken"};
    }

    const char *resetClick()
    {
        QTest::mouseClick(m_c.reset, Qt::LeftButton);
        expectResetState();
        return "reset-click";
    }

    const char *resetAltR()
    {
        QTest::keyClick(m_c.form, Qt::Key_R, Qt::AltModifier);
        // The access key clicks with a short animation; wait until it has gone through.
        QElapsedTimer waited;
        waited.start();
        while (m_c.reset->isDown() && waited.elapsed() < 5000)
            QTest::qWait(10);
        expectResetState();
        return "reset-alt-r";
    }

    QPoint pictureSpot()
    {
        // The picture sits in the top-left 32 x 32 pixels of PicPct.
        const int w = qMin(32, m_c.picture->width()), h = qMin(32, m_c.picture->height());
        return {2 + below(qMax(1, w - 4)), 2 + below(qMax(1, h - 4))};
    }

    void expectToggledOnce(Look before, long recalculationsBefore)
    {
        const Look after = lookOf(m_c);
        if (after == before)
            throw Failure{"the panels did not change their look exactly once"};
        if (m_recalculations != recalculationsBefore)
            throw Failure{"a click on the picture recalculated"};
    }

    const char *pictureClick()
    {
        const Look before = lookOf(m_c);
        const long runs = m_recalculations;
        QTest::mouseClick(m_c.picture, Qt::LeftButton, {}, pictureSpot());
        expectToggledOnce(before, runs);
        return "picture-click";
    }

    const char *pictureDoubleClick()
    {
        // What a real double click delivers: press, release, double-click, release.
        const Look before = lookOf(m_c);
        const long runs = m_recalculations;
        const QPoint at = pictureSpot();
        QTest::mousePress(m_c.picture, Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_c.picture, Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_c.picture, Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_c.picture, Qt::LeftButton, {}, at);
        expectToggledOnce(before, runs);
        return "picture-double-click";
    }

    const char *openAbout()
    {
        const fuelix::DisplayState before = stateOf(m_c);
        const Look lookBefore = lookOf(m_c);
        bool closed = false;
        // Polls until the box is up, then answers it like a user pressing Enter.
        std::function<void()> closeBox = [&] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                QTest::keyClick(box, Qt::Key_Return);
                closed = true;
            } else {
                QTimer::singleShot(5, m_c.form, closeBox);
            }
        };
        QTimer::singleShot(0, m_c.form, closeBox);
        QTest::mouseClick(m_c.about, Qt::LeftButton);
        if (!closed)
            throw Failure{"About showed no modal box"};
        if (stateOf(m_c) != before || lookOf(m_c) != lookBefore)
            throw Failure{"About changed the window"};
        m_c.form->activateWindow();
        QApplication::setActiveWindow(m_c.form);
        return "about";
    }

    const char *focusKey()
    {
        QWidget *focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : m_c.form, below(2) ? Qt::Key_Tab : Qt::Key_Backtab);
        return "tab";
    }

    struct Kind
    {
        int upTo;
        const char *name;
        const char *(Soak::*run)();
    };

    Controls m_c;
    std::mt19937_64 m_random;
    const char *m_doing = "start-up";
    long m_recalculations = 0;
};

long numberArgument(int argc, char **argv, const char *flag, const char *variable, long fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == flag)
            return std::strtol(argv[i + 1], nullptr, 10);
    if (const char *value = std::getenv(variable); value && *value)
        return std::strtol(value, nullptr, 10);
    return fallback;
}

QtMessageHandler standardHandler = nullptr;

// The offscreen platform says so on every message box it shows; that is not news here.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        standardHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    // The soak needs no screen; an explicit platform from the caller still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    const auto seed =
        std::uint64_t(numberArgument(argc, argv, "--seed", "FUELIX_SOAK_SEED", long(DefaultSeed)));
    const long actions =
        numberArgument(argc, argv, "--actions", "FUELIX_SOAK_ACTIONS", DefaultActions);
    bool verbose = false;
    for (int i = 1; i < argc; ++i)
        verbose = verbose || std::string(argv[i]) == "--verbose";

    std::printf("soak: seed %llu, %ld actions\n", static_cast<unsigned long long>(seed), actions);
    std::fflush(stdout);

    fuelix::FuelixFrm form;
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::printf("soak: the window was never exposed\n");
        return 1;
    }

    long index = -1;
    const char *action = "start-up";
    std::map<std::string, long> counts;
    QElapsedTimer clock;
    clock.start();
    std::optional<Soak> soak;
    try {
        const Controls controls = findControls(&form);
        soak.emplace(controls, seed);
        checkInvariants(controls);
        for (index = 0; index < actions; ++index) {
            action = soak->step();
            ++counts[action];
            if (verbose)
                std::printf("%ld %s\n", index, action);
            checkInvariants(controls);
        }
    } catch (const Failure &failure) {
        action = soak ? soak->doing() : action;
        std::printf("soak: FAILED at action %ld (%s), seed %llu: %s\n"
                    "soak: replay with --seed %llu --actions %ld --verbose\n",
                    index, action, static_cast<unsigned long long>(seed), failure.what.c_str(),
                    static_cast<unsigned long long>(seed), index + 1);
        return 1;
    } catch (const std::exception &error) {
        action = soak ? soak->doing() : action;
        std::printf("soak: FAILED at action %ld (%s), seed %llu: exception: %s\n", index, action,
                    static_cast<unsigned long long>(seed), error.what());
        return 1;
    }

    std::printf("soak: passed %ld actions in %.1f s:", actions, double(clock.elapsed()) / 1000);
    for (const auto &[name, count] : counts)
        std::printf(" %s %ld,", name.c_str(), count);
    std::printf("\n");
    return 0;
}
