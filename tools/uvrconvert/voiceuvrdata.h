// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>
#include <QString>

#include "tools/common/scriptchaindata.h"
#include "tools/uvrconvert/separationoptions.h"

// Splits a file into its vocal and its instrument part: cut, separate the
// segments with the separation script, join each part, encode them as
// <name>-instrument and <name>-vocal.
class VoiceUVRData : public ScriptChainData
{
    Q_OBJECT
public:
    // The model is read as the separation stage starts.
    explicit VoiceUVRData(QSharedPointer<const SeparationOptions> options = {});

    static QStringList ScriptArguments(const QString &workFolder, const QString &model);

protected:
    QVector<Stage> stages() const override;
    QStringList scriptArguments() override;
    QStringList scriptFolders() const override;
    QString piecesFolder() const override;
    QString pieceFileName(const QString &piece, int n) const override;

private:
    QSharedPointer<const SeparationOptions> options;
};
