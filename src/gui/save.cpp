#include "gui/save.h"

#include "profile/loader.h"
#include "profile/saver.h"

#include <gtk/gtk.h>

namespace qv {

void save_INI_File(int mode)
{
    const SaveOutcome outcome = save_profile(mode == 1 ? SaveMode::Items : SaveMode::Alert, *myspQuorvel);
    switch (outcome) {
    case SaveOutcome::Saved: return;
    case SaveOutcome::BackupUnreadable: g_print("on_buttonSaveItems_clicked(): fopen() error!\n"); break;
    case SaveOutcome::CannotCreate: g_print("on_buttonSaveItems_clicked(): fopen(QUORVEL_INI) error!\n"); break;
    case SaveOutcome::CloseFailed: g_print("on_buttonSaveItems_clicked(): fclose() error!\n"); break;
    }
    gtk_main_quit();
}

}  // namespace qv
