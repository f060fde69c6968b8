// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/namepattern.h"

#include <algorithm>

#include <QFile>
#include <QList>
#include <QMap>
#include <QTextBoundaryFinder>

namespace {
enum class Piece
{
    Text,
    Name,
    Tool,
    Extension,
    Artist,
    Title,
    Mark
};

struct Token
{
    Piece kind;
    QString text;
};

// The pattern's pieces in order; false on an unknown or unclosed placeholder.
bool tokenize(const QString &pattern, QList<Token> &tokens)
{
    static const QMap<QString, Piece> placeholders{
        {QStringLiteral("name"), Piece::Name},     {QStringLiteral("tool"), Piece::Tool},
        {QStringLiteral("ext"), Piece::Extension}, {QStringLiteral("artist"), Piece::Artist},
        {QStringLiteral("title"), Piece::Title},   {QStringLiteral("n"), Piece::Mark}};
    tokens.clear();
    QString text;
    for (int i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1Char('}'))
            return false;
        if (pattern.at(i) != QLatin1Char('{')) {
            text += pattern.at(i);
            continue;
        }
        const int close = pattern.indexOf(QLatin1Char('}'), i);
        const auto kind = placeholders.constFind(pattern.mid(i + 1, close - i - 1));
        if (close < 0 || kind == placeholders.constEnd())
            return false;
        if (!text.isEmpty())
            tokens.append({Piece::Text, text});
        text.clear();
        tokens.append({kind.value(), QString()});
        i = close;
    }
    if (!text.isEmpty())
        tokens.append({Piece::Text, text});
    return true;
}

int bytes(const QString &text)
{
    return QFile::encodeName(text).size();
}
} // namespace

bool NamePattern::IsValid(const QString &pattern, QString *problem)
{
    QString reason;
    QList<Token> tokens;
    if (pattern.size() > MaxLength)
        reason = tr("The pattern is longer than %n characters.", nullptr, MaxLength);
    else if (pattern.contains(QLatin1Char('/')))
        reason = tr("A name cannot hold \"/\".");
    else if (std::any_of(pattern.cbegin(), pattern.cend(),
                         [](QChar c) { return c.category() == QChar::Other_Control; }))
        reason = tr("A name cannot hold control characters.");
    else if (pattern.startsWith(QLatin1Char('.')))
        reason = tr("A name cannot start with \".\".");
    else if (!tokenize(pattern, tokens))
        reason = tr("Unknown placeholder: use {name}, {tool}, {ext}, {artist}, {title} and {n}.");
    if (problem)
        *problem = reason;
    return reason.isEmpty();
}

QString NamePattern::FitBytes(const QString &text, int room)
{
    if (bytes(text) <= room)
        return text;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    int cut = 0;
    int used = 0;
    for (int next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        used += bytes(text.mid(cut, next - cut));
        if (used > room)
            break;
        cut = next;
    }
    return text.left(cut);
}

QString NamePattern::TagText(const QString &value)
{
    QString text;
    for (const QChar c : value) {
        if (c == QLatin1Char('/'))
            text += QLatin1Char('_');
        else if (c.category() == QChar::Other_Control)
            text += QLatin1Char(' ');
        else
            text += c;
    }
    text = text.simplified();
    // A leading dot would hide the file, or make it look like one of ours.
    while (text.startsWith(QLatin1Char('.')))
        text = text.mid(1).trimmed();
    return FitBytes(text, MaxTagBytes).trimmed();
}

QString NamePattern::Expand(const QString &pattern, const Fields &fields, const QString &mark, int limit)
{
    QList<Token> tokens;
    if (pattern.isEmpty() || !IsValid(pattern) || !tokenize(pattern, tokens))
        tokenize(Default(), tokens);
    // The extension the format needs ends every name; a pattern's own ".{ext}" at its end is that ending.
    const int count = int(tokens.size());
    if (count >= 2 && tokens.at(count - 1).kind == Piece::Extension &&
        tokens.at(count - 2).kind == Piece::Text && tokens.at(count - 2).text.endsWith(QLatin1Char('.'))) {
        tokens.removeLast();
        tokens.last().text.chop(1);
    }
    if (std::none_of(tokens.cbegin(), tokens.cend(), [](const Token &t) { return t.kind == Piece::Mark; }))
        tokens.append({Piece::Mark, QString()});
    const QString ending = fields.extension.isEmpty() ? QString() : QLatin1Char('.') + fields.extension;

    QString artist = TagText(fields.artist);
    if (artist.isEmpty())
        artist = tr("Unknown artist");
    QString title = TagText(fields.title);
    if (title.isEmpty())
        title = fields.name;
    const auto value = [&](const Token &token, const QString &name) {
        switch (token.kind) {
        case Piece::Text:
            return token.text;
        case Piece::Name:
            return name;
        case Piece::Tool:
            return fields.tool;
        case Piece::Extension:
            return fields.extension;
        case Piece::Artist:
            return artist;
        case Piece::Title:
            return title;
        case Piece::Mark:
            return mark;
        }
        return QString();
    };

    QString fixed;
    int names = 0;
    for (const Token &token : qAsConst(tokens)) {
        if (token.kind == Piece::Name)
            ++names;
        else
            fixed += value(token, QString());
    }
    const int room = limit - bytes(fixed + ending);
    QString result;
    if (room >= 0) {
        const QString name = FitBytes(fields.name, names > 0 ? room / names : 0);
        for (const Token &token : qAsConst(tokens))
            result += value(token, name);
        return result + ending;
    }
    // Too long even without the name: the rest is cut, keeping the mark and the ending.
    for (const Token &token : qAsConst(tokens)) {
        if (token.kind != Piece::Mark)
            result += value(token, QString());
    }
    return FitBytes(result, limit - bytes(mark + ending)) + mark + ending;
}
