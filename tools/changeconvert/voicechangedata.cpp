// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/changeconvert/voicechangedata.h"

#include "common/globals.h"
#include "engine/jobhelpers.h"

VoiceChangeData::VoiceChangeData(QSharedPointer<const SpeakerOptions> options) : options(std::move(options))
{}

QVector<ScriptChainData::Stage> VoiceChangeData::stages() const
{
    return {{StageKind::Cut, "", CutEndProgress},
            {StageKind::Script, "", ScriptEndProgress},
            {StageKind::Join, "vocal", 9500},
            {StageKind::Encode, "vocal", RunningProgressLimit}};
}

QStringList VoiceChangeData::ScriptArguments(const QString &workFolder, const QString &model)
{
    return {g_appDir + QStringLiteral("/infer_cli2.py"),
            QStringLiteral("--model_name"),
            model,
            QStringLiteral("--f0method"),
            QStringLiteral("harvest"),
            QStringLiteral("--input_path"),
            workFolder + QStringLiteral("/segments"),
            QStringLiteral("--index_path"),
            QStringLiteral(" "),
            QStringLiteral("--opt_path"),
            workFolder + QStringLiteral("/vocal")};
}

QStringList VoiceChangeData::scriptArguments()
{
    return ScriptArguments(workFolder, options ? options->model : SpeakerOptions().model);
}

QStringList VoiceChangeData::scriptFolders() const
{
    return {piecesFolder()};
}

QString VoiceChangeData::piecesFolder() const
{
    return workFolder + QStringLiteral("/vocal");
}

QString VoiceChangeData::pieceFileName(const QString &piece, int n) const
{
    // The script keeps the names of its inputs.
    Q_UNUSED(piece)
    return QStringLiteral("segment%1.wav").arg(n);
}
