#include "support/recordingservices.h"

#include <QCoreApplication>

#include "print/pagecomposer.h"

namespace rotamet {

void RecordingServices::messageBox(const QString &text, const QString &title, BoxIcon icon)
{
    boxes.push_back({text, title, icon});
    if (onBox)
        onBox(boxes.back());
}

bool RecordingServices::questionBox(const QString &text, const QString &title)
{
    questions.push_back({text, title, BoxIcon::Information});
    if (onBox)
        onBox(questions.back());
    return answer;
}

std::optional<PlatformServices::PrinterChoice> RecordingServices::choosePrinter()
{
    ++printDialogs;
    if (printDialogError)
        throw *printDialogError;
    return printerChoice;
}

std::optional<QString> RecordingServices::choosePdfFile(const QString &suggested)
{
    saveDialogs.push_back(suggested);
    return pdfFile;
}

std::optional<QString> RecordingServices::chooseExportFile(const QString &suggested)
{
    exportDialogs.push_back(suggested);
    return exportFile;
}

std::optional<QString> RecordingServices::chooseImportFile()
{
    ++importDialogs;
    return importFile;
}

std::unique_ptr<print::Printer> RecordingServices::printerOn(std::shared_ptr<print::PrintTarget> target)
{
    targets.push_back(target);
    return std::make_unique<print::PageComposer>(retarget ? retarget(std::move(target)) : std::move(target));
}

void RecordingServices::processEvents()
{
    ++processEventsCalls;
    if (onProcessEvents)
        onProcessEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace rotamet
