#pragma once
// Window «Целочисленное решение» (TfrmMipResults): the outcome of an integer search said
// plainly, the integer plan in the model's terms, the relaxation's value, the bound and the gap.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/StringGridModel.h"
#include "mip/MipTree.h"
#include "model/Model.h"
#include "ui/Form.h"

class QLabel;
class QPushButton;

namespace kvado::ui {

class StringGrid;
class TResults;

// The outcome in a sentence a student reads at once, and whether it is good news (an integer
// plan found).
std::string mipOutcomeText(const mip::MipAnswer& a, char decimalSeparator);
// The lines under it: the objective, the relaxation's value, the bound and the gap, the nodes,
// the search and its time.
std::vector<std::string> mipSummaryLines(const model::Model& m, const mip::MipAnswer& a,
                                         char decimalSeparator);

class TfrmMipResults : public Form {
    Q_OBJECT
public:
    explicit TfrmMipResults(Toolkit& toolkit, QWidget* parent = nullptr);
    ~TfrmMipResults() override;

    void setReportWindow(TResults* window) { m_reportWindow = window; }
    // What «Дерево ветвлений» does (the main window's command).
    void setTreeCommand(std::function<void()> command) { m_treeCommand = std::move(command); }
    // Fills the window from the search of `m` and shows it modally.
    void fill(const model::Model& m, const mip::MipAnswer& a, char decimalSeparator);
    void showAnswer(const model::Model& m, const mip::MipAnswer& a, char decimalSeparator);
    // The plan: «Неизвестная», «Вид», «Значение», one row per column of the model.
    const StringGridModel& plan() const { return *m_plan; }

    QLabel* lblOutcome;
    QLabel* lblSummary;
    StringGrid* SGPlan;
    QPushButton* btnTree;
    QPushButton* btnText;
    QPushButton* btnClose;

private:
    std::unique_ptr<StringGridModel> m_plan;
    TResults* m_reportWindow = nullptr;
    std::function<void()> m_treeCommand;
};

} // namespace kvado::ui
