#include "app/TRecoveryOffer.h"

#include "app/EAbort.h"
#include "app/TAutoRecovery.h"
#include "app/TMainForm.h"
#include "app/TRecoveryDialog.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/TDialogSeam.h"

namespace {
QString RecoveredName(const QString &name)
{
    const QString mark = QStringLiteral(" (recovered)");
    return name.endsWith(mark) ? name : name + mark;
}

// The newest copy of the pane, or null.
const TRecoveryCopy *Newest(const std::vector<TRecoveryCopy> &copies, TPane pane)
{
    const TRecoveryCopy *newest = nullptr;
    for (const TRecoveryCopy &copy : copies)
        if (copy.Pane == pane)
            newest = &copy; // oldest first
    return newest;
}

// False when the user kept what the pane holds now.
bool Recover(TMainForm &form, TAutoRecovery &recovery, const TRecoveryCopy &copy)
{
    try {
        form.AskSaveChanges(copy.Pane);
    } catch (const EAbort &) {
        return false;
    }
    TRichEditEx &pane = form.Pane(copy.Pane);
    pane.Lines().LoadFile(copy.File);
    pane.SetModifiedFlag(true);
    if (copy.Pane == TPane::Information)
        form.InformationFileName = RecoveredName(copy.Name);
    else
        form.SetDocumentName(RecoveredName(copy.Name));
    recovery.Adopted(copy);
    return true;
}
} // namespace

void TRecoveryOffer::Run(TMainForm &form, TAutoRecovery &recovery)
{
    TRecoveryStore &store = recovery.Store();
    const std::vector<TRecoveryCopy> copies = store.TakeOrphans();
    if (!copies.empty()) {
        TRecoveryDialog dialog(copies, &form);
        switch (TDialogSeam::Exec(dialog)) {
        case TRecoveryDialog::Recover: {
            const TRecoveryCopy *information = Newest(copies, TPane::Information);
            const TRecoveryCopy *document = Newest(copies, TPane::Document);
            if (information && Recover(form, recovery, *information) && !document) {
                form.SetDocumentName(form.InformationFileName);
                form.PaneRules().ShowAndFocus(TPane::Information);
            }
            if (document && Recover(form, recovery, *document))
                form.PaneRules().ShowAndFocus(TPane::Document);
            break;
        }
        case TRecoveryDialog::Discard:
            for (const TRecoveryCopy &copy : copies)
                store.Discard(copy);
            break;
        default:
            break;
        }
    }
    store.ReleaseOrphans();
}
