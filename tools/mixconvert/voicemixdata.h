// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "tools/common/wholelistdata.h"

// Overlays every input into one, played together; the result is as long as
// the first input and named after it (<name>-mix).
class VoiceMixData : public WholeListData
{
    Q_OBJECT
public:
    static QString FilterText(int inputCount, const OutputPlan &plan);
    static QStringList Arguments(const QStringList &inputs, const QString &output, const OutputPlan &plan);
    // The naming rule of the result of a list whose first entry is `referencePath`.
    static OutputName ResultName(const QString &referencePath);

protected:
    OutputName resultName(const QString &referencePath) const override { return ResultName(referencePath); }
    QStringList arguments(const QStringList &inputs, const QString &output,
                          const OutputPlan &plan) const override
    {
        return Arguments(inputs, output, plan);
    }
    qint64 resultDuration(const QList<qint64> &inputDurations) const override
    {
        return inputDurations.value(0);
    }
};
