#include "window/recordingservices.h"

#include <QCoreApplication>

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

void RecordingServices::processEvents()
{
    ++processEventsCalls;
    if (onProcessEvents)
        onProcessEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace rotamet
