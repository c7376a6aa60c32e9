// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainForm.h"

#include "app/MonitorWindow.h"
#include "export/OpenCommand.h"
#include "export/SaveCommand.h"
#include "widgets/PaintBox.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace lumidot {

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString documentFault(const LoadResult& refused)
{
    const QString entry = fromUtf8(refused.entry);
    switch (refused.fault) {
    case ReadFault::DamagedArchive:
        return TMainForm::tr("ファイルが壊れています (ZIP アーカイブとして読めません)");
    case ReadFault::NotADocument:
        return TMainForm::tr("Lumidot ドキュメントではありません (%1 がないか、違う種類を示しています)").arg(entry);
    case ReadFault::MissingEntry:
        return TMainForm::tr("ドキュメントに %1 がありません").arg(entry);
    case ReadFault::EntryTooLarge:
        return TMainForm::tr("ドキュメントの %1 が大きすぎます").arg(entry);
    case ReadFault::NewerVersion:
        return TMainForm::tr("新しい版の Lumidot で保存されたドキュメントのため、この版では開けません");
    case ReadFault::BadEntry:
        return TMainForm::tr("ドキュメントの %1 が壊れています").arg(entry);
    case ReadFault::Inconsistent:
        return TMainForm::tr("ドキュメントの %1 がほかの部分と合いません").arg(entry);
    default:
        return fromUtf8(refused.message);
    }
}

} // namespace

// The text of a file's refusal: what is wrong and where (the part of a
// document, the byte offset).
QString TMainForm::refusalText(const LoadResult& refused)
{
    if (!isDocumentFault(refused.fault))
        return fromUtf8(refused.message);
    QString text = tr("ファイルを読み込めません: %1").arg(documentFault(refused));
    if (refused.offset) {
        // The part of the document the offset counts in, when there is one.
        const QString part = refused.entry.empty() ? QString() : tr("%1 の").arg(fromUtf8(refused.entry));
        text += tr(" (%1先頭から %2 バイトの位置)").arg(part).arg(*refused.offset);
    }
    return text;
}

QString TMainForm::saveFilter()
{
    return QString::fromLatin1(kSaveFilter.data(), static_cast<qsizetype>(kSaveFilter.size())) +
           QStringLiteral("|") + tr("Lumidot ドキュメント (*.lumidot)") + QStringLiteral("|*.lumidot");
}

QString TMainForm::openFilter()
{
    return QStringLiteral("All supported(*.syx;*.mid;*.prt;*.exc;*.lumidot)|"
                          "*.syx;*.mid;*.prt;*.exc;*.lumidot|") +
           saveFilter();
}

// Reads a saved recording or document back in place of the current one;
// Save then writes it back to the same file in the same format. The file is
// read and found good before the current work is put at stake.
// A name relative to the current folder is made absolute first, so that
// Save writes back to the same file wherever the folder moves afterwards.
void TMainForm::openFile(const QString& fileName)
{
    const auto action = Workspace.transaction(tr("開く").toStdString());
    const QString path = QFileInfo(fileName).absoluteFilePath();
    LoadResult loaded = loadRecording(QFile::encodeName(path).toStdString());
    if (!loaded.ok) {
        prompts_.information(refusalText(loaded));
        return;
    }
    if (askToSaveRecording(false) == SaveQuestion::Keep)
        return;
    OpenDialog1.fileName = path;
    SaveDialog1 = {path, loaded.typeIndex};
    if (!loaded.document) {
        Workspace.replaceRecording(std::move(loaded.recording));
        offerStepTick(loaded.stepTick);
        return;
    }
    Workspace.replaceDocument(std::move(*loaded.document));
    Workspace.markSaved();
    showDocument();
}

// The controls take the document's values after it was replaced as a
// whole, without running their handlers, which would send and record.
void TMainForm::showDocument()
{
    const Document& document = Workspace.document();
    {
        const QSignalBlocker blockers[] = {
            QSignalBlocker(XSc),     QSignalBlocker(YSc),      QSignalBlocker(XReal),
            QSignalBlocker(YReal),   QSignalBlocker(LcdText),  QSignalBlocker(LcdText2),
            QSignalBlocker(FX1Sel),  QSignalBlocker(FX2Sel),   QSignalBlocker(FXModeSel),
            QSignalBlocker(LcdGreen), QSignalBlocker(LcdOrange), QSignalBlocker(LcdRed),
            QSignalBlocker(LcdHide)};
        XSc->setValue(document.window.x);
        YSc->setValue(document.window.y);
        XReal->setText(QString::number(ScrollX()));
        YReal->setText(QString::number(ScrollY()));
        LcdText->setText(fromUtf8(document.lines.line1));
        LcdText2->setText(fromUtf8(document.lines.line2));
        FX1Sel->setValue(document.effect.effect1);
        FX2Sel->setValue(document.effect.effect2);
        FXModeSel->setValue(document.effect.mode);
        QRadioButton* const colours[] = {LcdGreen, LcdOrange, LcdRed, LcdHide};
        colours[static_cast<int>(document.colour)]->setChecked(true);
    }
    FX1Name->setText(QString::fromLatin1(kEffectNames[FX1Sel->value()]));
    FX2Name->setText(QString::fromLatin1(kEffectNames[FX2Sel->value()]));
    FXMode->setText(QString::fromLatin1(kEffectModeNames[FXModeSel->value()]));
    // A window saved beyond the scroll bars' present ranges stops at their ends.
    if (ScrollX() != document.window.x || ScrollY() != document.window.y)
        Workspace.moveWindow({ScrollX(), ScrollY()}, false);
    if (Monitor)
        Monitor->Tempo->setValue(document.tempo);
    paintBackgrounds();
    Disp_FD();
    NSDISP2->refresh();
    InfoMake();
}

} // namespace lumidot
