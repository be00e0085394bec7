#include "digitizing/pdfpicktool.h"

#include "digitizing/graphview.h"

void PdfPickTool::activate()
{
    Q_EMIT view().statusMessage(view().pdfPicking().modeMessage(view().model()));
}

void PdfPickTool::press(const ToolEvent &event)
{
    const QString message = view().pdfPicking().importAt(view().model(), event.position, view().pickRadius());
    if (!message.isEmpty())
        Q_EMIT view().statusMessage(message);
}

void PdfPickTool::hover(const ToolEvent &event)
{
    if (view().pdfPicking().hover(view().model(), event.position, view().pickRadius()))
        view().updateForeground();
}
