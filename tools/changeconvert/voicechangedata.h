#pragma once

#include <QString>

#include "tools/common/scriptchaindata.h"

// The speaker model file the next conversion stage passes to the script.
extern QString g_changeModel;

// Gives a file the voice of a speaker: cut, convert the segments with the
// voice script, join them, encode the result as <name>-vocal.
class VoiceChangeData : public ScriptChainData
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
