// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/uvrconvert/voiceuvrdata.h"

#include "common/globals.h"
#include "engine/jobhelpers.h"

VoiceUVRData::VoiceUVRData(QSharedPointer<const SeparationOptions> options) : options(std::move(options)) {}

QVector<ScriptChainData::Stage> VoiceUVRData::stages() const
{
    return {{StageKind::Cut, "", CutEndProgress},    {StageKind::Script, "", ScriptEndProgress},
            {StageKind::Join, "instrument", 9200},   {StageKind::Join, "vocal", 9500},
            {StageKind::Encode, "instrument", 9700}, {StageKind::Encode, "vocal", RunningProgressLimit}};
}

QStringList VoiceUVRData::ScriptArguments(const QString &workFolder, const QString &model)
{
    return {g_appDir + QStringLiteral("/uvr5_cli.py"),
            QStringLiteral("--model_name"),
            model,
            QStringLiteral("--input_path"),
            workFolder + QStringLiteral("/segments"),
            QStringLiteral("--temp_path"),
            workFolder + QStringLiteral("/temp"),
            QStringLiteral("--out_path"),
            workFolder + QStringLiteral("/vocail")};
}

QStringList VoiceUVRData::scriptArguments()
{
    return ScriptArguments(workFolder, options ? options->model : SeparationOptions().model);
}

QStringList VoiceUVRData::scriptFolders() const
{
    return {workFolder + QStringLiteral("/temp"), piecesFolder()};
}

QString VoiceUVRData::piecesFolder() const
{
    return workFolder + QStringLiteral("/vocail");
}

QString VoiceUVRData::pieceFileName(const QString &piece, int n) const
{
    return piece + QStringLiteral("_segment%1.wav_10.wav").arg(n);
}
