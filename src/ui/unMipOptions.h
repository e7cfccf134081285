#pragma once
// Window «Целочисленное решение» (TfrmMipOptions): how «Решить» solves a problem whose unknowns
// are marked integer or binary: which search (the program's branch and bound with its tree,
// GLPK's branch and cut, or chosen by the size), its time and gap limits, or the linear
// relaxation alone («Решать без целочисленности»).

#include "mip/MipTree.h"
#include "ui/Form.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kvado::ui {

class TfrmMipOptions : public Form {
    Q_OBJECT
public:
    explicit TfrmMipOptions(Toolkit& toolkit, QWidget* parent = nullptr);

    // What the window was last accepted with (its start values until then).
    mip::MipEngine engine() const { return m_engine; }
    double timeLimitSeconds() const { return m_timeLimit; }
    // Relative: 0.01 for 1 %.
    double gapLimit() const { return m_gap; }
    bool relaxation() const { return m_relax; }
    void setEngine(mip::MipEngine e);

    // Shows the window modally with the values in force.
    void showOptions();
    // «ОК»: the fields are read; one that does not convert is told and the window stays.
    void btnOKClick();

    QRadioButton* rbAuto;
    QRadioButton* rbOwn;
    QRadioButton* rbGlpk;
    QCheckBox* cbRelax;
    QLineEdit* edTimeLimit;
    QLineEdit* edGapLimit;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    void showValues();
    mip::MipEngine m_engine = mip::MipEngine::Auto;
    double m_timeLimit = 0;
    double m_gap = 0;
    bool m_relax = false;
};

} // namespace kvado::ui
