// The few pieces of the GNOME 2 application libraries that the window uses, written on
// GTK+ 2 alone (those libraries are not packaged for this platform). Names, types and
// calling conventions are the libraries' own, so the window code reads as it would
// against them; only what the window needs is here.
#pragma once

#include <gtk/gtk.h>

// ---- Program ------------------------------------------------------------------------

typedef struct _GnomeProgram GnomeProgram;

// What a module brings; only the user-interface module exists here.
typedef struct _GnomeModuleInfo {
    const char* name;
    const char* version;
    const char* description;
} GnomeModuleInfo;

const GnomeModuleInfo* libgnomeui_module_info_get(void);
#define LIBGNOMEUI_MODULE libgnomeui_module_info_get()

#define GNOME_PARAM_APP_DATADIR "app-datadir"

typedef enum {
    GNOME_FILE_DOMAIN_UNKNOWN = 0,
    GNOME_FILE_DOMAIN_APP_PIXMAP,
} GnomeFileDomain;

// Initialises GTK with argc/argv (so GTK's own options work; without a display GTK
// reports that and ends the process, as gtk_init does) and records the application id,
// version and the properties given as NULL-terminated name/value pairs; of those only
// GNOME_PARAM_APP_DATADIR (a string) is known; an unknown name is warned about and ends
// the list, as the type of its value cannot be known. The first call creates the program;
// it stays for the life of the process, and later calls return it unchanged.
GnomeProgram* gnome_program_init(const char* app_id, const char* app_version, const GnomeModuleInfo* module_info,
                                 int argc, char** argv, const char* first_property_name, ...) G_GNUC_NULL_TERMINATED;
// The program created by gnome_program_init, or NULL.
GnomeProgram* gnome_program_get(void);
const char* gnome_program_get_app_id(GnomeProgram* program);
const char* gnome_program_get_app_version(GnomeProgram* program);

// For GNOME_FILE_DOMAIN_APP_PIXMAP: app-datadir + "/pixmaps/" + file_name, newly
// allocated (g_free it). With only_if_exists, NULL when no such file exists. NULL for
// other domains, without a program, or without an app-datadir. ret_locations must be
// NULL (the list form is not supported).
gchar* gnome_program_locate_file(GnomeProgram* program, GnomeFileDomain domain, const gchar* file_name,
                                 gboolean only_if_exists, GSList** ret_locations);

// ---- Menus from UI-info tables -------------------------------------------------------

typedef enum {
    GNOME_APP_UI_ENDOFINFO,
    GNOME_APP_UI_ITEM,
    GNOME_APP_UI_TOGGLEITEM,
    GNOME_APP_UI_RADIOITEMS,
    GNOME_APP_UI_SUBTREE,
    GNOME_APP_UI_SEPARATOR,
    GNOME_APP_UI_HELP,
    GNOME_APP_UI_BUILDER_DATA,
    GNOME_APP_UI_ITEM_CONFIGURABLE,
    GNOME_APP_UI_SUBTREE_STOCK,
    GNOME_APP_UI_INCLUDE
} GnomeUIInfoType;

typedef enum {
    GNOME_APP_PIXMAP_NONE,
    GNOME_APP_PIXMAP_STOCK,
    GNOME_APP_PIXMAP_DATA,
    GNOME_APP_PIXMAP_FILENAME
} GnomeUIPixmapType;

// The configurable items the window uses (their numbering is the libraries').
typedef enum {
    GNOME_APP_CONFIGURABLE_ITEM_NEW,
    GNOME_APP_CONFIGURABLE_ITEM_OPEN,
    GNOME_APP_CONFIGURABLE_ITEM_SAVE,
    GNOME_APP_CONFIGURABLE_ITEM_SAVE_AS,
    GNOME_APP_CONFIGURABLE_ITEM_REVERT,
    GNOME_APP_CONFIGURABLE_ITEM_PRINT,
    GNOME_APP_CONFIGURABLE_ITEM_PRINT_SETUP,
    GNOME_APP_CONFIGURABLE_ITEM_CLOSE,
    GNOME_APP_CONFIGURABLE_ITEM_EXIT,
    GNOME_APP_CONFIGURABLE_ITEM_CUT,
    GNOME_APP_CONFIGURABLE_ITEM_COPY,
    GNOME_APP_CONFIGURABLE_ITEM_PASTE,
    GNOME_APP_CONFIGURABLE_ITEM_CLEAR,
    GNOME_APP_CONFIGURABLE_ITEM_UNDO,
    GNOME_APP_CONFIGURABLE_ITEM_REDO,
    GNOME_APP_CONFIGURABLE_ITEM_FIND,
    GNOME_APP_CONFIGURABLE_ITEM_FIND_AGAIN,
    GNOME_APP_CONFIGURABLE_ITEM_REPLACE,
    GNOME_APP_CONFIGURABLE_ITEM_PROPERTIES,
    GNOME_APP_CONFIGURABLE_ITEM_PREFERENCES,
    GNOME_APP_CONFIGURABLE_ITEM_ABOUT,
} GnomeUIInfoConfigurableTypes;

typedef struct {
    GnomeUIInfoType type;
    const gchar* label;
    const gchar* hint;
    gpointer moreinfo;  // callback of an item, sub-table of a sub-tree
    gpointer user_data;
    gpointer unused_data;
    GnomeUIPixmapType pixmap_type;
    gconstpointer pixmap_info;  // stock id for GNOME_APP_PIXMAP_STOCK
    guint accelerator_key;      // for configurable items: which one
    GdkModifierType ac_mods;
    GtkWidget* widget;          // filled in by gnome_app_create_menus
} GnomeUIInfo;

#define GNOMEUIINFO_END \
    { GNOME_APP_UI_ENDOFINFO, NULL, NULL, NULL, NULL, NULL, GNOME_APP_PIXMAP_NONE, NULL, 0, (GdkModifierType)0, NULL }
#define GNOMEUIINFO_SEPARATOR \
    { GNOME_APP_UI_SEPARATOR, NULL, NULL, NULL, NULL, NULL, GNOME_APP_PIXMAP_NONE, NULL, 0, (GdkModifierType)0, NULL }
#define GNOMEUIINFO_SUBTREE(label, tree) \
    { GNOME_APP_UI_SUBTREE, label, NULL, tree, NULL, NULL, GNOME_APP_PIXMAP_NONE, NULL, 0, (GdkModifierType)0, NULL }
#define GNOMEUIINFO_SUBTREE_STOCK(label, tree, stock_id)                                                         \
    { GNOME_APP_UI_SUBTREE_STOCK, label, NULL, tree, NULL, NULL, GNOME_APP_PIXMAP_STOCK, stock_id, 0, \
      (GdkModifierType)0, NULL }
#define GNOMEUIINFO_ITEM_CONFIGURABLE(which, cb, data)                                                         \
    { GNOME_APP_UI_ITEM_CONFIGURABLE, NULL, NULL, (gpointer)(cb), (gpointer)(data), NULL, GNOME_APP_PIXMAP_NONE, \
      NULL, which, (GdkModifierType)0, NULL }
#define GNOMEUIINFO_MENU_EXIT_ITEM(cb, data) GNOMEUIINFO_ITEM_CONFIGURABLE(GNOME_APP_CONFIGURABLE_ITEM_EXIT, cb, data)
#define GNOMEUIINFO_MENU_ABOUT_ITEM(cb, data) GNOMEUIINFO_ITEM_CONFIGURABLE(GNOME_APP_CONFIGURABLE_ITEM_ABOUT, cb, data)
#define GNOMEUIINFO_MENU_FILE_TREE(tree) GNOMEUIINFO_SUBTREE_STOCK("_File", tree, NULL)
#define GNOMEUIINFO_MENU_VIEW_TREE(tree) GNOMEUIINFO_SUBTREE_STOCK("_View", tree, NULL)
#define GNOMEUIINFO_MENU_HELP_TREE(tree) GNOMEUIINFO_SUBTREE_STOCK("_Help", tree, NULL)

// ---- Application window --------------------------------------------------------------

typedef struct _GnomeApp GnomeApp;
typedef struct _GnomeAppClass GnomeAppClass;

// A top-level window holding, top to bottom: the dock (menu bar, then the contents)
// and the status bar.
struct _GnomeApp {
    GtkWindow parent;
    gchar* name;
    GtkWidget* dock;       // a vertical box: the menu bar, then the contents
    GtkWidget* statusbar;  // NULL until gnome_app_set_statusbar
    GtkWidget* vbox;       // the window's only child: dock above status bar
    GtkWidget* menubar;    // NULL until gnome_app_create_menus
    GtkWidget* contents;   // NULL until gnome_app_set_contents
    GtkAccelGroup* accel_group;
};

struct _GnomeAppClass {
    GtkWindowClass parent_class;
};

GType gnome_app_get_type(void) G_GNUC_CONST;
#define GNOME_TYPE_APP (gnome_app_get_type())
#define GNOME_APP(obj) (G_TYPE_CHECK_INSTANCE_CAST((obj), GNOME_TYPE_APP, GnomeApp))
#define GNOME_IS_APP(obj) (G_TYPE_CHECK_INSTANCE_TYPE((obj), GNOME_TYPE_APP))

// A hidden top-level window titled title (appname when title is NULL).
GtkWidget* gnome_app_new(const gchar* appname, const gchar* title);
// Places contents in the dock below the menu bar (replacing earlier contents) and shows it.
void gnome_app_set_contents(GnomeApp* app, GtkWidget* contents);
// Places the status bar at the bottom of the window (replacing an earlier one) and shows it.
void gnome_app_set_statusbar(GnomeApp* app, GtkWidget* statusbar);
// Builds the menu bar from the table (sub-trees recursively), fills every entry's
// widget field, connects each item's callback to "activate" with its user data, and
// adds the accelerators of the configurable items to the window.
void gnome_app_create_menus(GnomeApp* app, GnomeUIInfo* uiinfo);
// Shows each item's hint on the app's GnomeAppBar status bar while the item is
// selected (pushed on "select", popped on "deselect"). Items without a hint show none.
void gnome_app_install_menu_hints(GnomeApp* app, GnomeUIInfo* uiinfo);

// ---- Application bar -----------------------------------------------------------------

typedef enum {
    GNOME_PREFERENCES_NEVER,
    GNOME_PREFERENCES_USER,
    GNOME_PREFERENCES_ALWAYS
} GnomePreferencesType;

typedef struct _GnomeAppBar GnomeAppBar;
typedef struct _GnomeAppBarClass GnomeAppBarClass;

// A horizontal bar: an optional progress bar, then the status field. The status
// field shows the top of a stack of pushed texts, or the default status when the stack
// is empty.
struct _GnomeAppBar {
    GtkHBox parent;
    GtkWidget* progress;  // NULL without a progress bar
    GtkWidget* status;    // a GtkLabel; NULL without a status field
    GSList* stack;        // pushed texts, top first (owned)
    gchar* default_status;
    GnomePreferencesType interactivity;
};

struct _GnomeAppBarClass {
    GtkHBoxClass parent_class;
};

GType gnome_appbar_get_type(void) G_GNUC_CONST;
#define GNOME_TYPE_APPBAR (gnome_appbar_get_type())
#define GNOME_APPBAR(obj) (G_TYPE_CHECK_INSTANCE_CAST((obj), GNOME_TYPE_APPBAR, GnomeAppBar))
#define GNOME_IS_APPBAR(obj) (G_TYPE_CHECK_INSTANCE_TYPE((obj), GNOME_TYPE_APPBAR))

GtkWidget* gnome_appbar_new(gboolean has_progress, gboolean has_status, GnomePreferencesType interactivity);
void gnome_appbar_set_status(GnomeAppBar* appbar, const gchar* status);
void gnome_appbar_set_default(GnomeAppBar* appbar, const gchar* default_status);
void gnome_appbar_push(GnomeAppBar* appbar, const gchar* status);
void gnome_appbar_pop(GnomeAppBar* appbar);
void gnome_appbar_clear_stack(GnomeAppBar* appbar);
void gnome_appbar_refresh(GnomeAppBar* appbar);
GtkProgressBar* gnome_appbar_get_progress(GnomeAppBar* appbar);
// The text the status field shows now ("" without a status field); owned by the bar.
const gchar* gnome_appbar_get_status(GnomeAppBar* appbar);

// ---- About box -----------------------------------------------------------------------

// A hidden dialog showing the name and version in large type, the copyright, the
// comment, the logo (when given), the authors and documenters, and a Close button
// that emits "response" with GTK_RESPONSE_CLOSE. The lists are NULL-terminated and
// copied; the logo is referenced.
GtkWidget* gnome_about_new(const gchar* name, const gchar* version, const gchar* copyright, const gchar* comments,
                           const gchar** authors, const gchar** documenters, const gchar* translator_credits,
                           GdkPixbuf* logo_pixbuf);
