#include "ui/unMipOptions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text/NumberText.h"
#include "ui/FormBuilder.h"

namespace kvado::ui {

namespace {

// A number typed with "," or ".", not below 0.
std::optional<double> limitOf(const QLineEdit* edit) {
    std::string text = edit->text().trimmed().toStdString();
    for (char& c : text)
        if (c == ',') c = '.';
    const auto value = text::toPointReal(text);
    if (!value || !(*value >= 0)) return std::nullopt;
    return static_cast<double>(*value);
}

QString limitText(double v) {
    QString t = QString::number(v, 'g', 10);
    if (systemDecimalSeparator() == ',') t.replace(QLatin1Char('.'), QLatin1Char(','));
    return t;
}

} // namespace

TfrmMipOptions::TfrmMipOptions(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmMipOptions",
            .caption = QStringLiteral("  Целочисленное решение"),
            .clientSize = QSize(470, 290)},
           parent) {
    auto* layout = new QVBoxLayout(this);
    auto* engines = new QGroupBox(QStringLiteral("Поиск целочисленного решения"), this);
    auto* engineLayout = new QVBoxLayout(engines);
    auto radio = [&](const char* name, const char* text) {
        auto* r = new QRadioButton(QString::fromUtf8(text), engines);
        r->setObjectName(QLatin1String(name));
        engineLayout->addWidget(r);
        return r;
    };
    rbAuto = radio("rbAuto", "Автоматически: ветви и границы программы для малой задачи, "
                             "иначе GLPK");
    rbOwn = radio("rbOwn", "Метод ветвей и границ программы (дерево ветвлений)");
    rbGlpk = radio("rbGlpk", "Метод ветвей и отсечений GLPK (для больших задач)");
    layout->addWidget(engines);

    cbRelax =
        new QCheckBox(QStringLiteral("Решать без целочисленности (линейная релаксация)"), this);
    cbRelax->setObjectName(QStringLiteral("cbRelax"));
    layout->addWidget(cbRelax);

    auto* fields = new QFormLayout;
    edTimeLimit = new QLineEdit(this);
    edTimeLimit->setObjectName(QStringLiteral("edTimeLimit"));
    edGapLimit = new QLineEdit(this);
    edGapLimit->setObjectName(QStringLiteral("edGapLimit"));
    fields->addRow(QStringLiteral("Предел времени, с (0 - без предела):"), edTimeLimit);
    fields->addRow(QStringLiteral("Допустимый разрыв, % (0 - до оптимума):"), edGapLimit);
    layout->addLayout(fields);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    FormBuilder controls(this);
    btnOK = controls.dialogButton("btnOK", "ОК");
    btnOK->setDefault(true);
    btnCancel = controls.dialogButton("btnCancel", "Отмена");
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connectCommand(btnOK, &QPushButton::clicked, this, m_toolkit, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    showValues();
}

void TfrmMipOptions::setEngine(mip::MipEngine e) {
    m_engine = e;
    showValues();
}

void TfrmMipOptions::showValues() {
    (m_engine == mip::MipEngine::Own    ? rbOwn
     : m_engine == mip::MipEngine::Glpk ? rbGlpk
                                        : rbAuto)
        ->setChecked(true);
    cbRelax->setChecked(m_relax);
    edTimeLimit->setText(limitText(m_timeLimit));
    edGapLimit->setText(limitText(m_gap * 100));
}

void TfrmMipOptions::showOptions() {
    showValues();
    m_toolkit.showModal(*this);
}

void TfrmMipOptions::btnOKClick() {
    const auto time = limitOf(edTimeLimit);
    if (!time) {
        m_toolkit.showMessage(
            QStringLiteral("Предел времени: нужно число секунд не меньше 0 (0 - без предела)"));
        return;
    }
    const auto gap = limitOf(edGapLimit);
    if (!gap || *gap >= 100) {
        m_toolkit.showMessage(QStringLiteral(
            "Допустимый разрыв: нужно число процентов от 0 до 100 (0 - до оптимума)"));
        return;
    }
    m_engine = rbOwn->isChecked()    ? mip::MipEngine::Own
               : rbGlpk->isChecked() ? mip::MipEngine::Glpk
                                     : mip::MipEngine::Auto;
    m_relax = cbRelax->isChecked();
    m_timeLimit = *time;
    m_gap = *gap / 100;
    accept();
}

} // namespace kvado::ui
