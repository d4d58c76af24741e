// The process's one program: GTK set up once, and where the application keeps its files.
#include "gui/gnome/gnome.h"

#include <cstdarg>
#include <cstring>

struct _GnomeProgram {
    gchar* app_id;
    gchar* app_version;
    gchar* app_datadir;
    // GTK parses this copy, so the caller's argv keeps matching the caller's argc.
    int argc;
    gchar** argv;
};

namespace {

GnomeProgram* the_program = nullptr;

const GnomeModuleInfo ui_module = {"libgnomeui", "1", "Menus, application window, status bar and about box"};

// An unknown name ends the list: the type of its value, and so where the next name
// starts, cannot be known.
void read_properties(GnomeProgram* program, const char* name, va_list args)
{
    for (; name != nullptr; name = va_arg(args, const char*)) {
        if (std::strcmp(name, GNOME_PARAM_APP_DATADIR) != 0) {
            g_warning("gnome_program_init: unknown property '%s'; it and those after it are ignored", name);
            return;
        }
        g_free(program->app_datadir);
        program->app_datadir = g_strdup(va_arg(args, const char*));
    }
}

void copy_arguments(GnomeProgram* program, int argc, char** argv)
{
    program->argc = argv != nullptr && argc > 0 ? argc : 0;
    program->argv = g_new0(gchar*, program->argc + 1);
    for (int i = 0; i < program->argc; ++i) program->argv[i] = argv[i];
}

}  // namespace

const GnomeModuleInfo* libgnomeui_module_info_get(void) { return &ui_module; }

GnomeProgram* gnome_program_init(const char* app_id, const char* app_version, const GnomeModuleInfo* module_info,
                                 int argc, char** argv, const char* first_property_name, ...)
{
    (void)module_info;
    if (the_program != nullptr) return the_program;

    auto* program = g_new0(GnomeProgram, 1);
    program->app_id = g_strdup(app_id);
    program->app_version = g_strdup(app_version);
    va_list args;
    va_start(args, first_property_name);
    read_properties(program, first_property_name, args);
    va_end(args);
    copy_arguments(program, argc, argv);
    gtk_init(&program->argc, &program->argv);
    the_program = program;
    return program;
}

GnomeProgram* gnome_program_get(void) { return the_program; }

const char* gnome_program_get_app_id(GnomeProgram* program)
{
    g_return_val_if_fail(program != nullptr, nullptr);
    return program->app_id;
}

const char* gnome_program_get_app_version(GnomeProgram* program)
{
    g_return_val_if_fail(program != nullptr, nullptr);
    return program->app_version;
}

gchar* gnome_program_locate_file(GnomeProgram* program, GnomeFileDomain domain, const gchar* file_name,
                                 gboolean only_if_exists, GSList** ret_locations)
{
    g_return_val_if_fail(file_name != nullptr, nullptr);
    g_return_val_if_fail(ret_locations == nullptr, nullptr);
    if (program == nullptr || domain != GNOME_FILE_DOMAIN_APP_PIXMAP || program->app_datadir == nullptr)
        return nullptr;

    gchar* path = g_build_filename(program->app_datadir, "pixmaps", file_name, nullptr);
    if (only_if_exists && !g_file_test(path, G_FILE_TEST_EXISTS)) {
        g_free(path);
        return nullptr;
    }
    return path;
}
