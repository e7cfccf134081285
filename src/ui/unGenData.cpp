#include "ui/unGenData.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <random>

#include "datafile/Generator.h"
#include "ui/FormBuilder.h"
#include "ui/Toolkit.h"

namespace kvado::ui {

uint64_t clockSeed() {
    const auto ticks =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::random_device entropy;
    const uint64_t high = entropy();
    const uint64_t low = entropy();
    return ticks ^ ((high << 32) | low);
}

TfrmGenData::TfrmGenData(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmGenData",
            .caption = QStringLiteral("  Генератор данных для Kvado2009"),
            .clientSize = QSize(478 - kDesignFrameWidth, 133 - kDesignFrameHeight),
            .fontPixels = 15,
            .position = QPoint(553, 171)},
           parent),
      m_seedSource(clockSeed), m_decimalSeparator(systemDecimalSeparator()) {
    // `room`: where the edit right of the label begins.
    FormBuilder controls(this);
    Label1 = controls.label("Label1", "Число неизвестных  ( < 501 )", QRect(10, 8, 179, 16), 194);
    Edit1 = controls.edit("Edit1", "10", QRect(196, 4, 113, 24));
    Label2 = controls.label("Label2", "Число ограничений вида <= ", QRect(10, 41, 184, 16), 194);
    Edit2 = controls.edit("Edit2", "10", QRect(196, 36, 113, 24));
    Label3 = controls.label("Label3", "Допустимая погрешность =  ", QRect(10, 73, 182, 16), 194);
    Edit3 = controls.edit("Edit3", "1E-5", QRect(196, 68, 113, 24));
    Button1 = controls.button("Button1", "Генерировать", QRect(316, 36, 149, 24));
    Button2 = controls.button("Button2", "Выход", QRect(317, 67, 149, 24));

    connectCommand(Button1, &QPushButton::clicked, this, m_toolkit, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmGenData::Button1Click() {
    const std::string nText = Edit1->text().toStdString();
    const std::string lText = Edit2->text().toStdString();
    const std::string epsText = Edit3->text().toStdString();
    const auto input = datafile::parseGeneratorInput(nText, lText, epsText, m_decimalSeparator);
    if (!input) {
        m_toolkit.showMessage(QString::fromUtf8(datafile::kGeneratorFormatError));
        return;
    }
    // The files are built in memory first: a size the program could not open would only
    // exhaust it.
    if (const std::string tooLarge = datafile::generatorSizeError(*input); !tooLarge.empty()) {
        m_toolkit.showMessage(QString::fromStdString(tooLarge));
        return;
    }
    // Files that cannot be written end the press with the error report, and none of the
    // three is replaced.
    datafile::writeGeneratedFiles(
        datafile::generateProblem(*input, nText, lText, epsText, m_seedSource()));
}

} // namespace kvado::ui
