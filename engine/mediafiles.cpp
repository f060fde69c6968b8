// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/mediafiles.h"

#include <QList>
#include <QRegularExpression>

#include "engine/mediafilewalk.h"

QString MediaFiles::Patterns()
{
    return QStringLiteral("*.mp4 *.mpeg *.mpg *.asf *.avi *.DV *.flv *.M2TS *.M4V *.mkv *.MOD *.mov *.MTS "
                          "*.RA *.3g2 *.3gp *.rm "
                          "*.rmvb *.td *.TOD *.trp *.ts *.vob *.wmv *asf *.aac *.ac3 *.aiff *.amr *.ape "
                          "*.flac *.iff *.m4a *.mka "
                          "*.mp2 *.mp3 *.ogg *.ra *.wav *.wma *.aac *.ac3 *.amr *.webm "
                          "*.oga *.opus *.m4b *.aif *.wv");
}

bool MediaFiles::IsMediaFileName(const QString &fileName)
{
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> list;
        for (const QString &pattern : Patterns().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            list.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                           QRegularExpression::CaseInsensitiveOption));
        return list;
    }();
    for (const QRegularExpression &pattern : patterns) {
        if (pattern.match(fileName).hasMatch())
            return true;
    }
    return false;
}

bool MediaFiles::NaturalLess(const QString &a, const QString &b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            int ei = i;
            int ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            const QString na = a.mid(i, ei - i);
            const QString nb = b.mid(j, ej - j);
            // Leading zeros do not count; then the longer number is the larger.
            QString ra = na;
            QString rb = nb;
            while (ra.size() > 1 && ra.startsWith(QLatin1Char('0')))
                ra.remove(0, 1);
            while (rb.size() > 1 && rb.startsWith(QLatin1Char('0')))
                rb.remove(0, 1);
            if (ra.size() != rb.size())
                return ra.size() < rb.size();
            const int order = ra.compare(rb);
            if (order != 0)
                return order < 0;
            i = ei;
            j = ej;
            continue;
        }
        const int order = QString::compare(a.at(i), b.at(j), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QStringList MediaFiles::Of(const QStringList &paths, bool recursive, QHash<QString, QString> *subFolders)
{
    QStringList files;
    MediaFileWalk walk(paths, recursive);
    for (QString file = walk.next(); !file.isEmpty(); file = walk.next()) {
        files.append(file);
        if (subFolders && !walk.subFolder().isEmpty())
            subFolders->insert(file, walk.subFolder());
    }
    return files;
}
