// FuelixFrm: the program's one window. Its controls hold the whole state of the calculator; the
// handlers below keep the four results in step with the five inputs.
#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fuelix {

class PanelLine;
class PictureBox;
class ScrollSlider;

// Every control, named as its objectName.
struct FuelixControls
{
    PictureBox *PicPct = nullptr;
    QPushButton *AboutCmd = nullptr;
    QPushButton *ResetCmd = nullptr;
    QPushButton *QuitCmd = nullptr;
    ScrollSlider *TankSld = nullptr;
    ScrollSlider *PumpSld = nullptr;
    QLineEdit *TankOctaneRatingTxt = nullptr;
    QLineEdit *TankCapacityTxt = nullptr;
    QLineEdit *PumpOctaneRatingTxt = nullptr;
    QLabel *FinalOctaneRatingLbl = nullptr;
    QLabel *FinalOctaneLbl = nullptr;
    QLabel *PumpValueLbl = nullptr;
    QLabel *PumpVolumeLbl = nullptr;
    QLabel *PumpFullLbl = nullptr;
    QLabel *Pump0Lbl = nullptr;
    QLabel *PumpOctaneRatingLbl = nullptr;
    QLabel *PumpLbl = nullptr;
    QLabel *TankLbl = nullptr;
    QLabel *TankOctaneRatingLbl = nullptr;
    QLabel *TankValueLbl = nullptr;
    QLabel *TankVolumeLbl = nullptr;
    QLabel *TankFLbl = nullptr;
    QLabel *Tank34Lbl = nullptr;
    QLabel *Tank12Lbl = nullptr;
    QLabel *Tank14Lbl = nullptr;
    QLabel *TankELbl = nullptr;
    QLabel *TankCapacityLbl = nullptr;
    // Ln1 to Ln8: the tank panel's left, top, right and bottom edges, then the pump panel's.
    std::array<PanelLine *, 8> Ln{};
};

class FuelixFrm : public QWidget
{
    Q_OBJECT

public:
    explicit FuelixFrm(QWidget *parent = nullptr);
    ~FuelixFrm() override;

    // The About message as the message box shows it.
    static QString aboutText();

signals:
    // Emitted at the end of every Recalculate run.
    void recalculated();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    void connectHandlers();

    void TankOctaneRatingTxt_Change();
    void TankCapacityTxt_Change();
    void PumpOctaneRatingTxt_Change();
    void TankSld_Scroll();
    void PumpSld_Scroll();
    void ResetCmd_Click();
    void AboutCmd_Click();
    void QuitCmd_Click();
    void PicPct_Click();

    // The one procedure behind the three Change handlers.
    void tidyAndRecalculate(QLineEdit *box);
    void Recalculate();
    void recalculateControls();

    FuelixControls m_ui;
    std::array<PanelLine *, 8> m_paintOrder{}; // the lines, bottom of the stacking order first
};

} // namespace fuelix
