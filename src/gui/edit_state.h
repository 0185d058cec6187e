// Where edits stand, as every window of the desktop program sees it: the
// count of pending edits by kind and its wording, and the questions asked
// before an edit could be lost.
#pragma once

#include <QMessageBox>
#include <QString>

namespace quorvane::gui {

struct GuiContext;

// Edits that are not in the rules file yet, by where they sit.
struct PendingEdits {
    int tables = 0;       // sections whose tables hold pending edits (shown, hidden or closed)
    int editWindows = 0;  // edit dialogs whose fields differ from what their rows show
    int forms = 0;        // constant-group forms likewise
    bool grid = false;    // the grid holds edits not saved to the rules file

    bool InWindows() const { return tables + editWindows + forms > 0; }
    bool Any() const { return InWindows() || grid; }
};

// "2 tables and 1 edit window hold changes that are not in the rules file."
// and/or "The editor holds edits that are not in the rules file." (with
// "also" when both are said); empty when nothing is pending.
QString PendingText(const PendingEdits& pending);

// "1 edit window", "2 tables", ...
QString CountOf(int n, const char* one, const char* many);

enum class Answer { First, Second, Cancel };

// Asks `text` in a message box captioned "Quorvane Editor" with a first
// button (the standard button `firstStandard`, or `firstText` when that is
// NoButton), a second button `secondText` (none when empty) and the standard
// Cancel, which Escape also chooses. The first button is the default, or
// Cancel when `cancelIsDefault` (before a step that cannot be undone).
Answer AskQuestion(QWidget* parent, const QString& text, QMessageBox::StandardButton firstStandard,
                   const QString& firstText, const QString& secondText, bool cancelIsDefault = false);

// Class name under which the main window registers itself.
inline constexpr const char* kMainWindowClass = "CQuorvaneEditorDlg";

// Class name under which the Changes window registers itself.
inline constexpr const char* kChangesWindowClass = "CChanges";

}  // namespace quorvane::gui
