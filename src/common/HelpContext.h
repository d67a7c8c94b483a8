#pragma once

#include <QString>

class QWidget;

namespace tavanote {

// The help context of each window: the number its page is found by in the help file.
enum class HelpContext {
    General = 10001,
    About = 10002,
    Settings = 10005,
    Messages = 10006,
    Editor = 10007,
    Calendar = 10008,
    Time = 10009,
    Report = 10010,
    Note = 10011,
    Import = 10012,
    CellValue = 10013,
};

// The topic file of a context ("gestionmessage.htm" for Messages).
QString helpTopic(HelpContext context);

// The program's help viewer, opened on the page of a window.
class Help {
public:
    virtual ~Help() = default;
    virtual void show(QWidget* window, HelpContext context) = 0;
};

}  // namespace tavanote
