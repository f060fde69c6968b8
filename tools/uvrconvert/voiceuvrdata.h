#pragma once

#include <QString>

#include "tools/common/scriptchaindata.h"

// The separation model the next separation stage passes to the script.
extern QString g_uvrModel;

// Splits a file into its vocal and its instrument part: cut, separate the
// segments with the separation script, join each part, encode them as
// <name>-instrument and <name>-vocal.
class VoiceUVRData : public ScriptChainData
{
    Q_OBJECT
public:
    static QStringList ScriptArguments(const QString &workFolder, const QString &model);

protected:
    QVector<Stage> stages() const override;
    QStringList scriptArguments() override;
    QStringList scriptFolders() const override;
    QString piecesFolder() const override;
    QString pieceFileName(const QString &piece, int n) const override;
};
