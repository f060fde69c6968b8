// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/encodeplan.h"

#include <QJsonArray>

#include "engine/audiotranscoder.h"

QStringList EncodePlan::arguments() const
{
    const QStringList filters = filter.isEmpty() ? QStringList() : QStringList{QStringLiteral("-af"), filter};
    if (output.isEmpty())
        return QStringList{QStringLiteral("-i"), input, QStringLiteral("-vn")} + filters +
               QStringList{QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-f"),
                           QStringLiteral("null"), QStringLiteral("-")};
    return plan.arguments(input, filters, output);
}

bool EncodePlan::workerCovers() const
{
    if (output.isEmpty())
        return true;
    if (!plan.inputs.isEmpty() || plan.streams != QStringList{QStringLiteral("-vn")})
        return false;
    const QStringList &known = AudioTranscoder::KnownOptions();
    if (plan.encode.size() % 2 != 0 || !plan.encode.contains(QStringLiteral("-c:a")))
        return false;
    for (int i = 0; i < plan.encode.size(); i += 2) {
        if (!known.contains(plan.encode.at(i)))
            return false;
    }
    return true;
}

QJsonObject EncodePlan::request(quint64 id) const
{
    QJsonObject request{{QStringLiteral("id"), QString::number(id)},
                        {QStringLiteral("input"), input},
                        {QStringLiteral("filter"), filter},
                        {QStringLiteral("codec"), inputCodec},
                        {QStringLiteral("output"), output},
                        {QStringLiteral("encode"),
                         QJsonArray::fromStringList(output.isEmpty() ? QStringList() : plan.encode)}};
    if (!reverse.raw.isEmpty())
        request.insert(QStringLiteral("reverse"),
                       QJsonObject{{QStringLiteral("raw"), reverse.raw},
                                   {QStringLiteral("format"), reverse.format},
                                   {QStringLiteral("rate"), reverse.rate},
                                   {QStringLiteral("channels"), reverse.channels}});
    return request;
}
