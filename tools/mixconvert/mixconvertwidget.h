#pragma once

#include "app/wholelisttoolwidget.h"

// Overlays every file of the list into one, played together; the result is as
// long as the first file.
class MixConvertWidget : public WholeListToolWidget
{
    Q_OBJECT
public:
    using WholeListToolWidget::WholeListToolWidget;

    void CreateItemWidgets() override;

    static QString FilterText(int inputCount);
    static QStringList Arguments(const QStringList &inputs, const QString &output);
    // The naming rule of the result of a list whose first entry is `referencePath`.
    static OutputName ResultName(const QString &referencePath);

    // The panel's one child; every entry is one of its inputs.
    QProcess &mixProcess = listProcess;

protected:
    RunPlan planRun(const QList<VoiceData *> &entries, const QString &output) override;
};
