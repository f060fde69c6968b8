// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QDir>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

class MainWidget;
class ToolsBaseWidget;

// The base of the tool tests: a shown main window whose output folder is a
// temporary folder, a folder for generated inputs, and the steps a user takes
// with a panel. Its slots run as the deriving test case's initTestCase,
// cleanupTestCase and cleanup.
class ToolFixture : public QObject
{
    Q_OBJECT
public:
    // The tools in the selector's grid order.
    // clang-format off
    enum Tool { Format, Speed, Volume, Invert, Mix, Split, Concat, Trim, Separation, Changer };
    // clang-format on

    // Opens a tool through the selector: its button, or OpenTool for the two hidden ones.
    ToolsBaseWidget *open(int tool);
    // Adds files to a panel; true once every one has become a job.
    static bool add(ToolsBaseWidget *panel, const QStringList &paths);
    // Picks an entry of the panel's option box as the user does.
    static void choose(ToolsBaseWidget *panel, int index);
    // Presses Convert and waits for the panel's jobs (or whole-list run) to end.
    static bool convert(ToolsBaseWidget *panel);
    static bool waitForEnd(ToolsBaseWidget *panel, int timeoutMs = 60000);
    QStringList outputFiles() const;
    // Answers the next question box with `button`; returns at once. The
    // question asked is kept in `lastQuestion`.
    void answerNextQuestion(int button);
    QString lastQuestion;

protected slots:
    void initTestCase();
    void cleanupTestCase();
    // Back to the selector, which empties the panel even after a failed check,
    // and to the build's application directory.
    void cleanup();

protected:
    QTemporaryDir inputs;
    // A "\\" in the name: part of the folder's name, never a separator.
    QTemporaryDir outputs{QDir::tempPath() + QStringLiteral("/out\\put-XXXXXX")};
    MainWidget *window = nullptr;
};
