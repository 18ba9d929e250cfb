#pragma once

class QTextCursor;

// Tab and Shift+Tab in a table: the caret goes to the next or the previous cell; Tab in the
// last cell adds a row shaped like the last one (its cells, their widths, borders and
// paragraph formats) and goes into it.
class TTableNavigation
{
public:
    enum class TMove { NotInTable, Moved, Stayed, AddedRow };

    // Moves the cursor (without selection) to the next (forward) or previous cell of the table
    // it is in; mayAddRow allows the new row at the end.
    static TMove Move(QTextCursor &cursor, bool forward, bool mayAddRow);
};
