// cHtmlWriter: the report as one self-contained HTML page: the summary with
// its chart and the moves written in the page, the sections as JSON that the
// page's own script draws (the first ones open, the others when opened, so
// that a large report stays light), a filter box, old and new values side by
// side with the part that differs marked. A content security policy keeps the
// page from loading anything.
#pragma once

#include <string>

#include "QORMRReport.h"

class cHtmlWriter {
public:
    std::string Write(const cReport& report);

private:
    void Head(const std::string& title);
    void Summary(const cReport& report);
    void Moves(const cReport& report);

    std::string out_;
};
