#pragma once
// The results window: the solution and the analysis of the constraints after a solve.

#include "ui/Form.h"

namespace kvado::ui {

class TfrmResults2 : public Form {
    Q_OBJECT
public:
    explicit TfrmResults2(Toolkit& toolkit, QWidget* parent = nullptr);

    // The objective's name, shown beside the objective value. Only the open command sets it:
    // a solve leaves the name of the file last opened.
    void setObjectiveName(const QString& name);
    QString objectiveName() const { return m_objectiveName; }

private:
    QString m_objectiveName;
};

} // namespace kvado::ui
