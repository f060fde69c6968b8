// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/runverdict.h"

#include "engine/mediaprobe.h"
#include "engine/statuslinereader.h"

namespace {
QString seconds(qint64 microseconds)
{
    return QString::number(double(microseconds) / 1e6, 'f', 1);
}
} // namespace

qint64 RunVerdict::Tolerance(qint64 length)
{
    return 250000 + qMax<qint64>(0, length) / 50;
}

QString RunVerdict::Judge(const QString &partPath, qint64 promised, const StatusLineReader &reader,
                          bool childStarted, bool childFailed)
{
    if (!childStarted)
        return tr("The converter could not be started.");
    const QString said = reader.failureMessage();
    if (childFailed || !reader.writeFailure().isEmpty())
        return said.isEmpty() ? tr("No usable output was written.") : said;
    MediaProbe::Facts facts;
    if (!MediaProbe::Read(partPath, facts) || !facts.hasAudio || facts.duration <= 0)
        return tr("The output holds no audio.");
    qint64 expected = promised;
    const qint64 reached = reader.furthestTime();
    if (reached > 0 && reached < promised - Tolerance(promised))
        expected = reached;
    if (expected > 0 && facts.duration < expected - Tolerance(expected))
        return tr("The output was cut short: %1 s of %2 s.").arg(seconds(facts.duration), seconds(expected));
    return QString();
}
