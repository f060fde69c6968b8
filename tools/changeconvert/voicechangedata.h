// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>
#include <QString>

#include "tools/changeconvert/speakeroptions.h"
#include "tools/common/scriptchaindata.h"

// Gives a file the voice of a speaker: cut, convert the segments with the
// voice script, join them, encode the result as <name>-vocal.
class VoiceChangeData : public ScriptChainData
{
    Q_OBJECT
public:
    // The speaker is read as the voice stage starts.
    explicit VoiceChangeData(QSharedPointer<const SpeakerOptions> options = {});

    static QStringList ScriptArguments(const QString &workFolder, const QString &model);

protected:
    QVector<Stage> stages() const override;
    QStringList scriptArguments() override;
    QStringList scriptFolders() const override;
    QString piecesFolder() const override;
    QString pieceFileName(const QString &piece, int n) const override;

private:
    QSharedPointer<const SpeakerOptions> options;
};
