// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/outputsettingspopup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "engine/namepattern.h"

#include "widgets/displayscale.h"
#include "widgets/nofocusframedelegate.h"
#include "widgets/skinhelper_qsetting.h"

namespace {
QString formatName(OutputFamily family)
{
    switch (family) {
    case OutputFamily::Mp3:
        return QStringLiteral("MP3");
    case OutputFamily::Aac:
        return QStringLiteral("AAC / M4A");
    case OutputFamily::Opus:
        return QStringLiteral("Opus");
    case OutputFamily::Vorbis:
        return QStringLiteral("Ogg Vorbis");
    case OutputFamily::Flac:
        return QStringLiteral("FLAC");
    case OutputFamily::Wav:
        return QStringLiteral("WAV");
    case OutputFamily::Other:
    case OutputFamily::Amr:
        break;
    }
    return QString();
}

// Selects the entry whose data is `value`, else the first ("Keep").
void selectData(QComboBox *box, const QVariant &value)
{
    box->setCurrentIndex(qMax(0, box->findData(value)));
}
} // namespace

OutputSettingsPopup::OutputSettingsPopup(QWidget *parent) : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("outputSettings"));
    title = new QLabel(this);
    form = new QFormLayout(this);
    form->addRow(title);
    const auto makeBox = [this] {
        auto *box = new QComboBox(this);
        box->setItemDelegate(new NoFocusFrameDelegate(box));
        connect(box, qOverload<int>(&QComboBox::activated), this, &OutputSettingsPopup::store);
        return box;
    };
    for (OutputFamily family : OutputOptions::QualityFamilies()) {
        qualityBoxes.insert(family, makeBox());
        qualityLabels.insert(family, new QLabel(formatName(family), this));
        form->addRow(qualityLabels.value(family), qualityBoxes.value(family));
    }
    rate = makeBox();
    channels = makeBox();
    rateLabel = new QLabel(this);
    channelsLabel = new QLabel(this);
    form->addRow(rateLabel, rate);
    form->addRow(channelsLabel, channels);

    pattern = new QLineEdit(this);
    pattern->setPlaceholderText(NamePattern::Default());
    patternLabel = new QLabel(this);
    example = new QLabel(this);
    example->setObjectName(QStringLiteral("nameExample"));
    tree = new QCheckBox(this);
    collision = makeBox();
    collisionLabel = new QLabel(this);
    form->addRow(patternLabel, pattern);
    form->addRow(QString(), example);
    form->addRow(collisionLabel, collision);
    form->addRow(tree);
    // Every keystroke shows its example; a pattern that can name files is stored.
    connect(pattern, &QLineEdit::textEdited, this, [this] {
        showExample();
        if (NamePattern::IsValid(pattern->text().trimmed()))
            store();
    });
    connect(tree, &QCheckBox::clicked, this, &OutputSettingsPopup::store);
    exampleName.base = QStringLiteral("song");
    exampleName.extension = QStringLiteral("mp3");
}

QString OutputSettingsPopup::QualityText(OutputFamily family, const QString &value)
{
    switch (family) {
    case OutputFamily::Mp3:
        if (value.startsWith(QLatin1Char('V')))
            return tr("VBR %1").arg(value);
        return tr("%1 kb/s").arg(value.chopped(1));
    case OutputFamily::Aac:
    case OutputFamily::Opus:
        return tr("%1 kb/s").arg(value.chopped(1));
    case OutputFamily::Vorbis:
        return tr("Quality %1").arg(value.mid(1));
    case OutputFamily::Flac:
        return tr("Level %1").arg(value);
    case OutputFamily::Wav:
        return value == QLatin1String("32f") ? tr("32-bit float") : tr("%1-bit").arg(value);
    case OutputFamily::Other:
    case OutputFamily::Amr:
        break;
    }
    return value;
}

void OutputSettingsPopup::UpdateSkin()
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    const auto value = [skin](const char *key) {
        return skin->GetValue(QStringLiteral("main"), QLatin1String(key));
    };
    setStyleSheet(QStringLiteral("QFrame#outputSettings{background-color:%1;border:1px solid %2;}"
                                 "QLabel,QCheckBox{color:%3;font-size:%4px;}"
                                 "QLineEdit{color:%3;background:%1;border:1px solid %2;font-size:%4px;"
                                 "padding:2px;}")
                      .arg(value("bgcolor"), value("linecolor"), value("txtcolor"))
                      .arg(ScaledPx(12)) +
                  skin->GetQComboBoxQSS(12, 26, 3, 1, 1, 1, 1, QStringLiteral("QComboBox")));
    form->setContentsMargins(ScaledPx(14), ScaledPx(10), ScaledPx(14), ScaledPx(12));
    form->setHorizontalSpacing(ScaledPx(12));
    form->setVerticalSpacing(ScaledPx(6));
    for (QComboBox *box : findChildren<QComboBox *>())
        box->setMinimumSize(ScaledPx(150), ScaledPx(26));
    pattern->setMinimumSize(ScaledPx(220), ScaledPx(26));
}

void OutputSettingsPopup::FlushText()
{
    title->setText(tr("Output settings (Keep: as the input)"));
    for (OutputFamily family : OutputOptions::QualityFamilies()) {
        QComboBox *box = qualityBoxes.value(family);
        box->clear();
        box->addItem(tr("Keep"), QString());
        for (const QString &value : OutputOptions::QualityChoices(family))
            box->addItem(QualityText(family, value), value);
    }
    rate->clear();
    rate->addItem(tr("Keep"), 0);
    for (int each : OutputOptions::SampleRates())
        rate->addItem(tr("%1 Hz").arg(each), each);
    channels->clear();
    channels->addItem(tr("Keep"), 0);
    channels->addItem(tr("Mono"), 1);
    channels->addItem(tr("Stereo"), 2);
    rateLabel->setText(tr("Sample rate"));
    channelsLabel->setText(tr("Channels"));
    patternLabel->setText(tr("File names"));
    pattern->setToolTip(tr("{name} the input's name, {tool} the tool's tag, {ext} the extension, {artist} "
                           "and {title} the input's tags, {n} the number of a taken name. Empty: the "
                           "usual names."));
    collisionLabel->setText(tr("Name taken"));
    collision->clear();
    collision->addItem(tr("Number it: name (0)"), false);
    collision->addItem(tr("Skip the file"), true);
    tree->setText(tr("Added folders keep their sub-folders"));
    load();
}

void OutputSettingsPopup::showBelow(const QWidget *anchor, const OutputName &example,
                                    const QList<OutputFamily> &families)
{
    exampleName = example;
    // Only the rows of `families` stay in the form: a hidden row would still take its spacing.
    int row = 1;
    for (OutputFamily family : OutputOptions::QualityFamilies()) {
        QComboBox *box = qualityBoxes.value(family);
        if (form->indexOf(box) >= 0) {
            const QFormLayout::TakeRowResult taken = form->takeRow(box);
            delete taken.labelItem;
            delete taken.fieldItem;
        }
        const bool shown = families.contains(family);
        box->setVisible(shown);
        qualityLabels.value(family)->setVisible(shown);
        if (shown)
            form->insertRow(row++, qualityLabels.value(family), box);
    }
    load();
    adjustSize();
    const QPoint corner = anchor->mapToGlobal(QPoint(anchor->width(), anchor->height() + ScaledPx(4)));
    move(corner.x() - width(), corner.y());
    show();
}

void OutputSettingsPopup::load()
{
    const OutputOptions options = OutputOptions::Load();
    for (OutputFamily family : OutputOptions::QualityFamilies())
        selectData(qualityBoxes.value(family), options.qualityOf(family));
    selectData(rate, options.sampleRate);
    selectData(channels, options.channels);
    pattern->setText(options.namePattern);
    tree->setChecked(options.keepTree);
    selectData(collision, options.skipTaken);
    showExample();
}

QString OutputSettingsPopup::exampleText() const
{
    return example->text();
}

void OutputSettingsPopup::showExample()
{
    QString problem;
    const QString text = pattern->text().trimmed();
    if (!NamePattern::IsValid(text, &problem)) {
        example->setText(problem);
        return;
    }
    OutputName name = exampleName;
    name.folder = QStringLiteral(".");
    name.pattern = text;
    name.artist = tr("Artist");
    name.title = tr("Title");
    example->setText(tr("e.g. %1").arg(QFileInfo(name.candidate(-1)).fileName()));
}

void OutputSettingsPopup::store()
{
    OutputOptions options;
    for (OutputFamily family : OutputOptions::QualityFamilies())
        options.setQuality(family, qualityBoxes.value(family)->currentData().toString());
    options.setSampleRate(rate->currentData().toInt());
    options.setChannels(channels->currentData().toInt());
    if (!options.setNamePattern(pattern->text()))
        options.namePattern = OutputOptions::Load().namePattern;
    options.keepTree = tree->isChecked();
    options.skipTaken = collision->currentData().toBool();
    options.save();
}
