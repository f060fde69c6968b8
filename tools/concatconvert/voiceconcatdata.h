// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "tools/common/wholelistdata.h"

// Joins every input, one after the other in order, into one named after the
// first (<name>-cat).
class VoiceConcatData : public WholeListData
{
    Q_OBJECT
public:
    static QString FilterText(int inputCount, const OutputPlan &plan);
    static QStringList Arguments(const QStringList &inputs, const QString &output, const OutputPlan &plan);
    // The naming rule of the result of a list whose first entry is `referencePath`.
    static OutputName ResultName(const QString &referencePath);
    // The result's length: the inputs' lengths added up.
    static qint64 ResultDuration(const QList<qint64> &inputDurations);

protected:
    OutputName resultName(const QString &referencePath) const override { return ResultName(referencePath); }
    QStringList arguments(const QStringList &inputs, const QString &output,
                          const OutputPlan &plan) const override
    {
        return Arguments(inputs, output, plan);
    }
    qint64 resultDuration(const QList<qint64> &inputDurations) const override
    {
        return ResultDuration(inputDurations);
    }
};
