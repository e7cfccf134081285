#pragma once
// Generator window (TfrmGenData, «Генератор данных для Kvado2009»): writes random test problems
// of a chosen size as data files.

#include <cstdint>
#include <functional>

#include "ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kvado::ui {

class TfrmGenData : public Form {
    Q_OBJECT
public:
    explicit TfrmGenData(Toolkit& toolkit, QWidget* parent = nullptr);

    // Generate: checks the three edits, then writes "BigData.dat", "BigData.ogran" and
    // "BigData.neizv" into the current folder.
    void Button1Click();

    // Every press takes a new seed from here; the clock unless a test gives its own.
    void setSeedSource(std::function<uint64_t()> source) { m_seedSource = std::move(source); }
    // The separator with which the tolerance's text is checked; the user's by default.
    void setDecimalSeparator(char separator) { m_decimalSeparator = separator; }

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QLabel* Label3;
    QLineEdit* Edit3;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    std::function<uint64_t()> m_seedSource;
    char m_decimalSeparator;
};

// A seed from the clock, mixed with the system's entropy so that two presses within one tick
// of a coarse clock still differ.
uint64_t clockSeed();

} // namespace kvado::ui
