/* The smallest host of plugEngineTARSK, in C11: it loads the module, binds
 * its ten exports, supplies a services table and runs one lifecycle:
 *
 *   Initialize -> PostInitialize -> QueryInterface(100011) -> CallFunc
 *   (engine and pattern versions, a session opened and closed) -> Release
 *   -> PreUninitialize -> Uninitialize -> unload.
 *
 * Usage: minimal_host MODULE ENGINE_DIR
 *   MODULE      the module file (plugEngineTARSK.so / plugEngineTARSK.dll)
 *   ENGINE_DIR  the folder that holds tarsk64.dll and tarskptn.da6
 * Exit code 0 when every step answered success, 1 otherwise. */
#ifndef _WIN32
#define _XOPEN_SOURCE 700 /* realpath in strict C11 */
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "zevo/identity.h"
#include "zevo/organizer.h"
#include "zevo/plugin_exports.h"

#ifdef _WIN32
#include <windows.h>
#define PATH_SEPARATOR '\\'
static void* OpenModule(const char* file) { return (void*)LoadLibraryA(file); }
static void* FindExport(void* module, const char* name) {
  return (void*)(uintptr_t)GetProcAddress((HMODULE)module, name);
}
static void CloseModule(void* module) { FreeLibrary((HMODULE)module); }
static char* AbsolutePath(const char* path) { return _fullpath(NULL, path, 0); }
#else
#include <dlfcn.h>
#define PATH_SEPARATOR '/'
static void* OpenModule(const char* file) { return dlopen(file, RTLD_NOW | RTLD_LOCAL); }
static void* FindExport(void* module, const char* name) { return dlsym(module, name); }
static void CloseModule(void* module) { dlclose(module); }
static char* AbsolutePath(const char* path) { return realpath(path, NULL); }
#endif

/* A result code is a failure when its top bit is set. */
static int Failed(uint32_t code) { return (int32_t)code < 0; }

/* The ten exports, bound by name. */
typedef struct Exports {
#define EXPORT_MEMBER(name) PFN_##name name;
  ZEVO_PLUGIN_EXPORTS(EXPORT_MEMBER)
#undef EXPORT_MEMBER
} Exports;

/* --- The services table ---------------------------------------------------
 * The module keeps the table's address from Plugin_Interface_Initialize to
 * the end, so it lives as long as the module is loaded. This host offers one
 * connection, the scan manager, which the module needs to register its
 * commands; every other module (configuration repository, RCM table, file
 * check) is "unavailable" (handle 0), and the module falls back to its
 * defaults. */
typedef struct Host {
  SPluginInterfaceOrganizer table; /* first: the module sees only this */
  char16_t engine_path[1024];      /* entry 9: <engine folder>/tarsk64.dll */
  int registrations;               /* register minus unregister calls */
} Host;

enum { kScanManagerHandle = 1 };

static uint64_t OpenInterface(SPluginInterfaceOrganizer* self, uint64_t pair) {
  (void)self;
  return pair == ZEVO_MODULE_PAIR(ZEVO_SCAN_MANAGER_MODULE, ZEVO_SCAN_MANAGER_INTERFACE) ? kScanManagerHandle : 0;
}

static void ReleaseInterface(SPluginInterfaceOrganizer* self, uint64_t handle) {
  (void)self;
  (void)handle;
}

/* The module's input to functions 14099 and 14100 is its message object;
 * a host that keeps the command list reads it with the message library. */
static int32_t CallInterface(SPluginInterfaceOrganizer* self, uint64_t handle, uint32_t function, void* input,
                             void* output) {
  Host* host = (Host*)self;
  (void)input;
  (void)output;
  if (handle != kScanManagerHandle) return (int32_t)0xe0ff000du; /* no connection */
  if (function == ZEVO_SCAN_MANAGER_FN_REGISTER) ++host->registrations;
  if (function == ZEVO_SCAN_MANAGER_FN_UNREGISTER) --host->registrations;
  return 0;
}

static const char16_t* GetModulePath(SPluginInterfaceOrganizer* self) { return ((Host*)self)->engine_path; }

/* Entry 9 names a file in the engine folder: the module takes everything up
 * to the last separator. ASCII paths only, to keep the example short. */
static int SetEnginePath(Host* host, const char* folder) {
  static const char kFile[] = "tarsk64.dll";
  char* absolute = AbsolutePath(folder);
  size_t n = 0;
  int ok = absolute != NULL && strlen(absolute) + sizeof kFile + 1 < sizeof host->engine_path / 2;
  for (const char* c = absolute; ok && *c != '\0'; ++c) {
    if ((unsigned char)*c >= 0x80) ok = 0;
    host->engine_path[n++] = (*c == '/' || *c == '\\') ? PATH_SEPARATOR : (char16_t)*c;
  }
  if (ok) {
    if (n > 0 && host->engine_path[n - 1] != PATH_SEPARATOR) host->engine_path[n++] = PATH_SEPARATOR;
    for (const char* c = kFile; *c != '\0'; ++c) host->engine_path[n++] = (char16_t)*c;
    host->engine_path[n] = 0;
  }
  free(absolute);
  return ok;
}

/* Prints an engine version text (function 9 or 10: at most 15 UTF-16 units). */
static int32_t PrintVersion(const Exports* x, ICommonPluginInterface* engine, uint32_t function, const char* what) {
  char16_t text[16] = {0};
  const int32_t result = x->Plugin_Interface_CallFunc(engine, function, text, NULL);
  printf("%s: ", what);
  for (int i = 0; i < 15 && text[i] != 0; ++i) putchar(text[i] < 0x80 ? (int)text[i] : '?');
  printf(" (0x%08x)\n", (unsigned)result);
  return result;
}

/* What the host does with a started module: one engine interface object,
 * one session, then the object goes back. */
static int UseEngine(const Exports* x) {
  ICommonPluginInterface* engine = x->Plugin_Interface_QueryInterface(ZEVO_IID_ENGINE_INTERFACE);
  if (engine == NULL) {
    fprintf(stderr, "no engine interface\n");
    return 0;
  }
  int ok = !Failed(PrintVersion(x, engine, ZEVO_FN_GET_ENGINE_VERSION, "engine"));
  ok = !Failed(PrintVersion(x, engine, ZEVO_FN_GET_PATTERN_VERSION, "pattern")) && ok;
  /* A null open block: the session gets the default caller name. */
  const int32_t opened = x->Plugin_Interface_CallFunc(engine, ZEVO_FN_OPEN_SESSION, NULL, NULL);
  const int32_t closed = x->Plugin_Interface_CallFunc(engine, ZEVO_FN_CLOSE_SESSION, NULL, NULL);
  printf("session: open 0x%08x, close 0x%08x\n", (unsigned)opened, (unsigned)closed);
  x->Plugin_Interface_Release(engine);
  return ok && !Failed(opened) && !Failed(closed);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s MODULE ENGINE_DIR\n", argv[0]);
    return 1;
  }
  static Host host; /* outlives every call into the module */
  host.table.OpenInterface = OpenInterface;
  host.table.ReleaseInterface = ReleaseInterface;
  host.table.CallInterface = CallInterface;
  host.table.GetModulePath = GetModulePath;
  if (!SetEnginePath(&host, argv[2])) {
    fprintf(stderr, "engine folder %s: not found, too long or not ASCII\n", argv[2]);
    return 1;
  }

  void* module = OpenModule(argv[1]);
  if (module == NULL) {
    fprintf(stderr, "cannot load %s\n", argv[1]);
    return 1;
  }
  Exports x;
  int bound = 1;
#define BIND_EXPORT(name)                                    \
  x.name = (PFN_##name)(uintptr_t)FindExport(module, #name); \
  if (x.name == NULL) {                                      \
    fprintf(stderr, "export %s missing\n", #name);           \
    bound = 0;                                               \
  }
  ZEVO_PLUGIN_EXPORTS(BIND_EXPORT)
#undef BIND_EXPORT
  if (!bound) {
    CloseModule(module);
    return 1;
  }

  VersionInfo version = {0, 0, 0};
  x.Plugin_Interface_GetModuleVersion(&version);
  printf("module %u version %u.%u.%u\n", (unsigned)x.Plugin_Interface_GetModuleID(), (unsigned)version.major,
         (unsigned)version.minor, (unsigned)version.build);

  int ok = !Failed(x.Plugin_Interface_Initialize(&host.table));
  const uint32_t started = x.Plugin_Interface_PostInitialize();
  printf("start: 0x%08x, commands registered: %d\n", (unsigned)started, host.registrations);
  ok = ok && !Failed(started) && host.registrations == 1;
  if (!Failed(started)) ok = UseEngine(&x) && ok;
  /* Stop whatever the start answered: the module gives back what it holds. */
  const uint32_t stopping = x.Plugin_Interface_PreUninitialize();
  const uint32_t stopped = x.Plugin_Interface_Uninitialize();
  printf("stop: 0x%08x, 0x%08x, commands registered: %d\n", (unsigned)stopping, (unsigned)stopped, host.registrations);
  ok = ok && !Failed(stopping) && !Failed(stopped) && host.registrations == 0;
  CloseModule(module);
  puts(ok ? "lifecycle ok" : "lifecycle FAILED");
  return ok ? 0 : 1;
}
