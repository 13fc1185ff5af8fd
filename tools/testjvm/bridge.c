/*
 * Test jvm.dll: a Wine "winelib" module that looks like a Windows Java
 * runtime's jvm.dll to Windows code, and runs the host's Linux HotSpot.
 *
 * Windows callers use the Microsoft x64 calling convention; libjvm.so uses
 * System V.  So the caller never sees Linux JNI tables: it gets our JavaVM
 * and JNIEnv, whose tables hold ms_abi thunks (generated from jni.h into
 * jni_thunks.h) that forward to the real tables.
 *
 * Only for tests.  Limits:
 *  - x86_64 only, one VM per process.
 *  - Variadic and va_list Call*Method/NewObject entries read their arguments
 *    by the method's descriptor, remembered from Get(Static)MethodID; ids
 *    obtained otherwise (FromReflectedMethod) are described once through
 *    reflection.
 *  - RegisterNatives fails (Windows natives cannot be called from Linux),
 *    GetEnv answers JNI_EVERSION for JVMTI and other non-JNI interfaces,
 *    the "vfprintf" option is dropped.  "exit"/"abort" hooks run on a
 *    Windows helper thread.
 *  - Only -Djava.class.path=, -Djava.library.path= and -Xbootclasspath/a:
 *    are turned into Unix paths; other options and all program arguments
 *    reach Java unchanged, and Java reads file names as Unix paths
 *    (relative ones resolve against the process's current directory).
 *  - The VM writes to the Unix stdout/stderr of the process, not to its
 *    Windows standard handles.
 */
#define _GNU_SOURCE
#include <windows.h>
#include <winternl.h>

/* jni.h declares the three exports with the Linux calling convention; keep
 * those declarations out of the way of our ms_abi definitions. */
#define JNI_CreateJavaVM linux_decl_JNI_CreateJavaVM
#define JNI_GetDefaultJavaVMInitArgs linux_decl_JNI_GetDefaultJavaVMInitArgs
#define JNI_GetCreatedJavaVMs linux_decl_JNI_GetCreatedJavaVMs
#include <jni.h>
#undef JNI_CreateJavaVM
#undef JNI_GetDefaultJavaVMInitArgs
#undef JNI_GetCreatedJavaVMs

#include <dlfcn.h>
#include <elf.h>
#include <limits.h>
#include <link.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#define MSABI __attribute__((ms_abi))
typedef __builtin_ms_va_list ms_va_list;

/* A Java method has at most 255 parameter slots. */
#define MAX_JNI_ARGS 256

/* Where the build found libjvm.so; KANNE_TEST_LIBJVM overrides it. */
#ifndef KANNE_LIBJVM_PATH
#error "KANNE_LIBJVM_PATH must name the Linux libjvm.so"
#endif

/* ------------------------------------------------------------------------ */
/* Windows-side views of the VM and of each thread's env                     */

/* Layout the Windows caller dereferences: a table pointer first. */
struct win_vm {
    void *const *functions;
    JavaVM *real;
};
struct win_env {
    void *const *functions;
    JNIEnv *real;
};

static struct win_vm the_vm;
/* A JNIEnv is per thread, so one wrapper per thread is enough. */
static __thread struct win_env thread_env;

#define REAL_VM(vm) (((struct win_vm *)(void *)(vm))->real)
#define REAL_ENV(env) (((struct win_env *)(void *)(env))->real)

static JNIEnv *wrap_env(JNIEnv *real);

/* Converts Microsoft varargs for methodID into jargs; 0 on failure with a
 * Java exception pending. */
static int ms_args_to_jvalues(JNIEnv *real, jmethodID methodID, jobject owner,
                              int owner_is_class, int is_static, ms_va_list ap,
                              jvalue *jargs);

#include "jni_thunks.h"

/* Thread-local data is only touched from System V functions that are never
 * inlined: GCC assumes the __tls_get_addr call of an ms_abi function keeps
 * rsi/rdi (callee-saved there), but glibc's slow path clobbers them. */
static __attribute__((noinline)) JNIEnv *wrap_env(JNIEnv *real)
{
    if (!real)
        return NULL;
    thread_env.functions = env_table;
    thread_env.real = real;
    return (JNIEnv *)(void *)&thread_env;
}

static __attribute__((noinline)) void forget_env(void)
{
    thread_env.real = NULL;
}

/* ------------------------------------------------------------------------ */
/* Method descriptors, needed to read varargs                                */

/* jmethodID -> parameter kinds, one char per parameter ('L' for any
 * reference).  Open addressing; ids are never reused by HotSpot. */
struct sig_slot {
    jmethodID id;
    char *kinds;
};
static struct sig_slot *sig_slots;
static size_t sig_cap, sig_used;
static pthread_mutex_t sig_lock = PTHREAD_MUTEX_INITIALIZER;

static size_t sig_hash(jmethodID id, size_t cap)
{
    uintptr_t h = (uintptr_t)id;
    h ^= h >> 17;
    h *= 0x9e3779b97f4a7c15u;
    return (size_t)(h >> 7) & (cap - 1);
}

static void sig_insert_locked(jmethodID id, char *kinds)
{
    size_t i = sig_hash(id, sig_cap);
    while (sig_slots[i].id && sig_slots[i].id != id)
        i = (i + 1) & (sig_cap - 1);
    if (sig_slots[i].id) {
        free(kinds);
        return;
    }
    sig_slots[i].id = id;
    sig_slots[i].kinds = kinds;
    sig_used++;
}

static void sig_put(jmethodID id, char *kinds)
{
    pthread_mutex_lock(&sig_lock);
    if ((sig_used + 1) * 2 > sig_cap) {
        struct sig_slot *old = sig_slots;
        size_t old_cap = sig_cap;
        sig_cap = old_cap ? old_cap * 2 : 256;
        sig_slots = calloc(sig_cap, sizeof *sig_slots);
        sig_used = 0;
        for (size_t i = 0; i < old_cap; i++)
            if (old[i].id)
                sig_insert_locked(old[i].id, old[i].kinds);
        free(old);
    }
    sig_insert_locked(id, kinds);
    pthread_mutex_unlock(&sig_lock);
}

static const char *sig_get(jmethodID id)
{
    const char *kinds = NULL;
    pthread_mutex_lock(&sig_lock);
    if (sig_cap) {
        size_t i = sig_hash(id, sig_cap);
        while (sig_slots[i].id && sig_slots[i].id != id)
            i = (i + 1) & (sig_cap - 1);
        kinds = sig_slots[i].kinds;
    }
    pthread_mutex_unlock(&sig_lock);
    return kinds;
}

/* "(I[JLjava/lang/String;)V" -> "ILL"; NULL if malformed. */
static char *kinds_from_descriptor(const char *sig)
{
    if (!sig || *sig++ != '(')
        return NULL;
    char *kinds = malloc(strlen(sig) + 1);
    size_t n = 0;
    while (*sig && *sig != ')') {
        const char *start = sig;
        while (*sig == '[')
            sig++;
        if (*sig == 'L')
            sig = strchr(sig, ';');
        else if (!*sig || !strchr("ZBCSIJFD", *sig))
            sig = NULL;
        if (!sig)
            break;
        kinds[n++] = (*start == '[' || *start == 'L') ? 'L' : *start;
        sig++;
    }
    if (!sig || *sig != ')') {
        free(kinds);
        return NULL;
    }
    kinds[n] = '\0';
    return kinds;
}

static void remember_method(jmethodID id, const char *sig)
{
    char *kinds;
    if (id && !sig_get(id) && (kinds = kinds_from_descriptor(sig)))
        sig_put(id, kinds);
}

/* For ids we did not see created (FromReflectedMethod), ask reflection:
 * Executable.getParameterTypes() and Class.descriptorString(). */
static const char *kinds_by_reflection(JNIEnv *e, jmethodID id, jobject owner,
                                       int owner_is_class, int is_static)
{
    const struct JNINativeInterface_ *f = *e;
    char *kinds = NULL;
    if (f->PushLocalFrame(e, 16) != JNI_OK)
        return NULL;
    jclass cls = owner_is_class ? (jclass)owner : f->GetObjectClass(e, owner);
    jobject method = f->ToReflectedMethod(e, cls, id, is_static ? JNI_TRUE : JNI_FALSE);
    jclass executable = f->FindClass(e, "java/lang/reflect/Executable");
    jclass class_class = f->FindClass(e, "java/lang/Class");
    if (method && executable && class_class) {
        jmethodID get_types = f->GetMethodID(e, executable, "getParameterTypes",
                                             "()[Ljava/lang/Class;");
        jmethodID descriptor = f->GetMethodID(e, class_class, "descriptorString",
                                              "()Ljava/lang/String;");
        jobjectArray types = get_types ? f->CallObjectMethodA(e, method, get_types, NULL) : NULL;
        if (types && descriptor) {
            jsize n = f->GetArrayLength(e, types);
            kinds = calloc((size_t)n + 1, 1);
            for (jsize i = 0; i < n && kinds; i++) {
                jobject type = f->GetObjectArrayElement(e, types, i);
                jstring d = f->CallObjectMethodA(e, type, descriptor, NULL);
                const char *utf = d ? f->GetStringUTFChars(e, d, NULL) : NULL;
                if (!utf) {
                    free(kinds);
                    kinds = NULL;
                    break;
                }
                kinds[i] = utf[0] == '[' ? 'L' : utf[0];
                f->ReleaseStringUTFChars(e, d, utf);
                f->DeleteLocalRef(e, d);
                f->DeleteLocalRef(e, type);
            }
        }
    }
    f->PopLocalFrame(e, NULL);
    if (!kinds)
        return NULL;
    sig_put(id, kinds);
    return sig_get(id);
}

/* Microsoft x64 varargs: every argument takes one 8-byte slot, with the
 * C default promotions (small integers to int, float to double). */
static int ms_args_to_jvalues(JNIEnv *real, jmethodID methodID, jobject owner,
                              int owner_is_class, int is_static, ms_va_list ap,
                              jvalue *jargs)
{
    const char *kinds = sig_get(methodID);
    if (!kinds)
        kinds = kinds_by_reflection(real, methodID, owner, owner_is_class, is_static);
    if (!kinds) {
        if (!(*real)->ExceptionCheck(real)) {
            jclass err = (*real)->FindClass(real, "java/lang/InternalError");
            if (err)
                (*real)->ThrowNew(real, err, "test jvm.dll: unknown method signature");
        }
        return 0;
    }
    for (size_t i = 0; kinds[i]; i++) {
        switch (kinds[i]) {
        case 'Z': jargs[i].z = (jboolean)__builtin_va_arg(ap, int); break;
        case 'B': jargs[i].b = (jbyte)__builtin_va_arg(ap, int); break;
        case 'C': jargs[i].c = (jchar)__builtin_va_arg(ap, int); break;
        case 'S': jargs[i].s = (jshort)__builtin_va_arg(ap, int); break;
        case 'I': jargs[i].i = __builtin_va_arg(ap, jint); break;
        case 'J': jargs[i].j = __builtin_va_arg(ap, long long); break;
        case 'F': jargs[i].f = (jfloat)__builtin_va_arg(ap, double); break;
        case 'D': jargs[i].d = __builtin_va_arg(ap, double); break;
        default: jargs[i].l = __builtin_va_arg(ap, jobject); break;
        }
    }
    return 1;
}

/* ------------------------------------------------------------------------ */
/* Hand-written JNIEnv and JavaVM entries                                    */

static MSABI jmethodID hand_GetMethodID(JNIEnv *env, jclass clazz, const char *name,
                                        const char *sig)
{
    jmethodID id = (*REAL_ENV(env))->GetMethodID(REAL_ENV(env), clazz, name, sig);
    remember_method(id, sig);
    return id;
}

static MSABI jmethodID hand_GetStaticMethodID(JNIEnv *env, jclass clazz, const char *name,
                                              const char *sig)
{
    jmethodID id = (*REAL_ENV(env))->GetStaticMethodID(REAL_ENV(env), clazz, name, sig);
    remember_method(id, sig);
    return id;
}

static MSABI jint hand_GetJavaVM(JNIEnv *env, JavaVM **vm)
{
    (void)env;
    *vm = (JavaVM *)(void *)&the_vm;
    return JNI_OK;
}

/* The Linux VM would call Windows functions with the wrong convention. */
static MSABI jint hand_RegisterNatives(JNIEnv *env, jclass clazz,
                                       const JNINativeMethod *methods, jint nMethods)
{
    (void)clazz, (void)methods, (void)nMethods;
    JNIEnv *real = REAL_ENV(env);
    jclass err = (*real)->FindClass(real, "java/lang/UnsupportedOperationException");
    if (err)
        (*real)->ThrowNew(real, err, "test jvm.dll cannot register Windows natives");
    return JNI_ERR;
}

static MSABI jint hand_DestroyJavaVM(JavaVM *vm)
{
    return (*REAL_VM(vm))->DestroyJavaVM(REAL_VM(vm));
}

static MSABI jint hand_AttachCurrentThread(JavaVM *vm, void **penv, void *args)
{
    JNIEnv *real = NULL;
    jint rc = (*REAL_VM(vm))->AttachCurrentThread(REAL_VM(vm), (void **)&real, args);
    *penv = rc == JNI_OK ? wrap_env(real) : NULL;
    return rc;
}

static MSABI jint hand_AttachCurrentThreadAsDaemon(JavaVM *vm, void **penv, void *args)
{
    JNIEnv *real = NULL;
    jint rc = (*REAL_VM(vm))->AttachCurrentThreadAsDaemon(REAL_VM(vm), (void **)&real, args);
    *penv = rc == JNI_OK ? wrap_env(real) : NULL;
    return rc;
}

static MSABI jint hand_DetachCurrentThread(JavaVM *vm)
{
    jint rc = (*REAL_VM(vm))->DetachCurrentThread(REAL_VM(vm));
    if (rc == JNI_OK)
        forget_env();
    return rc;
}

static MSABI jint hand_GetEnv(JavaVM *vm, void **penv, jint version)
{
    /* JVMTI and friends would hand out Linux tables: not supported. */
    if (version & 0x30000000) {
        *penv = NULL;
        return JNI_EVERSION;
    }
    JNIEnv *real = NULL;
    jint rc = (*REAL_VM(vm))->GetEnv(REAL_VM(vm), (void **)&real, version);
    *penv = rc == JNI_OK ? wrap_env(real) : NULL;
    return rc;
}

/* ------------------------------------------------------------------------ */
/* Thread stacks                                                             */

/* Wine runs the Windows main thread on a stack of its own, but glibc reports
 * the original Linux stack of that thread, and HotSpot would place its guard
 * zones and stack checks there.  libjvm.so's calls are routed here: when
 * the caller is not on the stack glibc reports, report the thread's Windows
 * stack from the TEB.  Plain Linux threads always pass the first check, so
 * they never touch the TEB (which they do not have). */
static int stack_aware_getattr_np(pthread_t thread, pthread_attr_t *attr)
{
    int rc = pthread_getattr_np(thread, attr);
    if (rc != 0 || !pthread_equal(thread, pthread_self()))
        return rc;
    void *addr;
    size_t size;
    char *sp = __builtin_frame_address(0);
    if (pthread_attr_getstack(attr, &addr, &size) != 0 ||
        (sp >= (char *)addr && sp < (char *)addr + size))
        return rc;
    TEB *teb = NtCurrentTeb();
    char *low = teb->DeallocationStack, *high = teb->Tib.StackBase;
    if (sp >= low && sp < high) {
        pthread_attr_setstack(attr, low, (size_t)(high - low));
        pthread_attr_setguardsize(attr, 0);
    }
    return rc;
}

/* Points libjvm.so's GOT entries for `symbol` at `replacement`. */
static int patch_got(void *handle, const char *symbol, void *replacement)
{
    struct link_map *map;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0)
        return 0;
    const ElfW(Sym) *symtab = NULL;
    const char *strtab = NULL;
    const ElfW(Rela) *tables[2] = {NULL, NULL};
    size_t sizes[2] = {0, 0};
    for (const ElfW(Dyn) *d = map->l_ld; d->d_tag != DT_NULL; d++) {
        /* glibc has already relocated these; older loaders have not. */
        uintptr_t p = d->d_un.d_ptr;
        if (p < map->l_addr)
            p += map->l_addr;
        switch (d->d_tag) {
        case DT_SYMTAB: symtab = (const void *)p; break;
        case DT_STRTAB: strtab = (const void *)p; break;
        case DT_JMPREL: tables[0] = (const void *)p; break;
        case DT_PLTRELSZ: sizes[0] = d->d_un.d_val; break;
        case DT_RELA: tables[1] = (const void *)p; break;
        case DT_RELASZ: sizes[1] = d->d_un.d_val; break;
        }
    }
    if (!symtab || !strtab)
        return 0;
    int patched = 0;
    long page = sysconf(_SC_PAGESIZE);
    for (int t = 0; t < 2; t++) {
        for (size_t i = 0; tables[t] && i < sizes[t] / sizeof(ElfW(Rela)); i++) {
            const ElfW(Rela) *r = &tables[t][i];
            unsigned type = ELF64_R_TYPE(r->r_info);
            if (type != R_X86_64_JUMP_SLOT && type != R_X86_64_GLOB_DAT)
                continue;
            if (strcmp(strtab + symtab[ELF64_R_SYM(r->r_info)].st_name, symbol) != 0)
                continue;
            void **slot = (void **)(map->l_addr + r->r_offset);
            /* The GOT may be read-only after relocation (RELRO).  Leave it
             * writable: with lazy binding the loader writes it later. */
            uintptr_t start = (uintptr_t)slot & ~(uintptr_t)(page - 1);
            if (mprotect((void *)start, (size_t)page, PROT_READ | PROT_WRITE) != 0)
                continue;
            *slot = replacement;
            patched++;
        }
    }
    return patched;
}

/* ------------------------------------------------------------------------ */
/* exit/abort hooks                                                          */

/* HotSpot calls these hooks from its own Linux threads, which have no
 * Windows thread environment; Windows code (the caller's hooks,
 * ExitProcess) runs on a Windows helper thread instead.  The exit hook is
 * always installed so that System.exit(n) ends the process through
 * ExitProcess and a Windows parent sees exit code n. */
typedef void(MSABI *win_exit_hook)(jint code);
typedef void(MSABI *win_abort_hook)(void);

static win_exit_hook caller_exit_hook;
static win_abort_hook caller_abort_hook;

static pthread_mutex_t hook_lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t hook_cond = PTHREAD_COND_INITIALIZER;
static enum { HOOK_NONE, HOOK_EXIT, HOOK_ABORT, HOOK_DONE } hook_request;
static jint hook_code;

static DWORD WINAPI hook_thread(void *unused)
{
    (void)unused;
    pthread_mutex_lock(&hook_lock);
    while (hook_request == HOOK_NONE)
        pthread_cond_wait(&hook_cond, &hook_lock);
    int request = hook_request;
    pthread_mutex_unlock(&hook_lock);

    if (request == HOOK_EXIT) {
        if (caller_exit_hook)
            caller_exit_hook(hook_code);
        ExitProcess((UINT)hook_code);
    }
    if (caller_abort_hook)
        caller_abort_hook();
    pthread_mutex_lock(&hook_lock);
    hook_request = HOOK_DONE;
    pthread_cond_broadcast(&hook_cond);
    pthread_mutex_unlock(&hook_lock);
    return 0;
}

static void run_hook(int request, jint code)
{
    pthread_mutex_lock(&hook_lock);
    if (hook_request == HOOK_NONE) {
        hook_request = request;
        hook_code = code;
        pthread_cond_broadcast(&hook_cond);
    }
    while (hook_request != HOOK_DONE)
        pthread_cond_wait(&hook_cond, &hook_lock);
    pthread_mutex_unlock(&hook_lock);
}

static void linux_exit_hook(jint code)
{
    run_hook(HOOK_EXIT, code); /* does not return: the helper ends the process */
}

static void linux_abort_hook(void)
{
    run_hook(HOOK_ABORT, 0); /* HotSpot aborts once this returns */
}

/* ------------------------------------------------------------------------ */
/* Paths                                                                     */

/* Wine's Unix name for a Windows path.  Wine maps only paths whose folder
 * exists, so for others the nearest existing parent is mapped and the rest
 * appended. */
static char *wine_unix_name(const char *win)
{
    WCHAR wide[MAX_PATH * 4];
    char *path = NULL;
    if (MultiByteToWideChar(CP_ACP, 0, win, -1, wide, ARRAYSIZE(wide))) {
        char *wine_path = wine_get_unix_file_name(wide);
        if (wine_path) {
            path = strdup(wine_path);
            HeapFree(GetProcessHeap(), 0, wine_path);
            return path;
        }
    }
    const char *sep = win + strlen(win);
    while (sep > win && sep[-1] != '\\' && sep[-1] != '/')
        sep--;
    if (sep <= win + 1 || (sep == win + 3 && win[1] == ':' && !sep[0]))
        return NULL; /* nothing left to strip */
    /* Keep the separator for a drive root ("C:\"), drop it otherwise. */
    size_t keep = (sep == win + 3 && win[1] == ':') ? 3 : (size_t)(sep - win - 1);
    char *parent_win = strndup(win, keep);
    char *parent = wine_unix_name(parent_win);
    free(parent_win);
    if (!parent)
        return NULL;
    size_t n = strlen(parent);
    path = malloc(n + strlen(sep) + 2);
    strcpy(path, parent);
    if (n == 0 || path[n - 1] != '/')
        strcat(path, "/");
    strcat(path, sep);
    for (char *c = path + n; *c; c++)
        if (*c == '\\')
            *c = '/';
    free(parent);
    return path;
}

/* Windows path -> Unix path.  Wine answers with .../dosdevices/c:/..., whose
 * colon would split a Java path list, so the dosdevices link is resolved
 * (through the longest existing prefix, the rest may not exist yet). */
static char *unix_path(const char *win)
{
    char *path = wine_unix_name(win);
    if (!path)
        return strdup(win);

    char resolved[PATH_MAX];
    size_t cut = strlen(path);
    while (cut > 0) {
        char saved = path[cut];
        path[cut] = '\0';
        int ok = realpath(path, resolved) != NULL;
        path[cut] = saved;
        if (ok) {
            size_t head = strlen(resolved), tail = strlen(path + cut);
            char *out = malloc(head + tail + 1);
            memcpy(out, resolved, head);
            memcpy(out + head, path + cut, tail + 1);
            free(path);
            return out;
        }
        /* Drop the last component and try again. */
        do
            cut--;
        while (cut > 0 && path[cut] != '/');
    }
    return path;
}

/* "C:\a;lib\b.jar" -> "/.../a:/cwd/lib/b.jar" */
static char *unix_path_list(const char *list)
{
    size_t cap = 256, len = 0;
    char *out = malloc(cap);
    out[0] = '\0';
    const char *p = list;
    while (*p) {
        const char *end = strchr(p, ';');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        if (n > 0) {
            char *entry = strndup(p, n);
            char *converted = unix_path(entry);
            size_t m = strlen(converted);
            while (len + m + 2 > cap)
                out = realloc(out, cap *= 2);
            if (len)
                out[len++] = ':';
            memcpy(out + len, converted, m + 1);
            len += m;
            free(converted);
            free(entry);
        }
        p += n + (end ? 1 : 0);
    }
    return out;
}

/* Returns the option string for the Linux VM (translated or as given). */
static char *translate_option(const char *option)
{
    static const char *const path_options[] = {
        "-Djava.class.path=", "-Djava.library.path=", "-Xbootclasspath/a:",
    };
    for (size_t i = 0; i < ARRAYSIZE(path_options); i++) {
        size_t n = strlen(path_options[i]);
        if (strncmp(option, path_options[i], n) == 0) {
            char *list = unix_path_list(option + n);
            char *out = malloc(n + strlen(list) + 1);
            memcpy(out, option, n);
            strcpy(out + n, list);
            free(list);
            return out;
        }
    }
    return (char *)option;
}

/* The Linux VM resolves relative file names against the Unix working
 * directory; make it the process's Windows current directory. */
static void sync_working_directory(void)
{
    WCHAR dir[MAX_PATH * 4];
    if (!GetCurrentDirectoryW(ARRAYSIZE(dir), dir))
        return;
    char *path = wine_get_unix_file_name(dir);
    if (path) {
        if (chdir(path) != 0)
            fprintf(stderr, "test jvm.dll: cannot enter %s\n", path);
        HeapFree(GetProcessHeap(), 0, path);
    }
}

/* ------------------------------------------------------------------------ */
/* Exports                                                                   */

static jint (*linux_create)(JavaVM **, void **, void *);
static jint (*linux_default_args)(void *);
static jint (*linux_created)(JavaVM **, jsize, jsize *);

static int load_libjvm(void)
{
    static void *handle;
    if (handle)
        return 1;
    char path[PATH_MAX];
    DWORD n = GetEnvironmentVariableA("KANNE_TEST_LIBJVM", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        snprintf(path, sizeof path, "%s", KANNE_LIBJVM_PATH);
    void *h = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        fprintf(stderr, "test jvm.dll: %s\n", dlerror());
        return 0;
    }
    linux_create = (jint(*)(JavaVM **, void **, void *))dlsym(h, "JNI_CreateJavaVM");
    linux_default_args = (jint(*)(void *))dlsym(h, "JNI_GetDefaultJavaVMInitArgs");
    linux_created = (jint(*)(JavaVM **, jsize, jsize *))dlsym(h, "JNI_GetCreatedJavaVMs");
    if (!linux_create || !linux_default_args || !linux_created) {
        fprintf(stderr, "test jvm.dll: %s lacks the JNI invocation API\n", path);
        return 0;
    }
    if (!patch_got(h, "pthread_getattr_np", (void *)stack_aware_getattr_np))
        fprintf(stderr, "test jvm.dll: pthread_getattr_np not patched; "
                        "the main thread may crash\n");
    handle = h;
    return 1;
}

MSABI jint JNI_GetDefaultJavaVMInitArgs(void *args)
{
    return load_libjvm() ? linux_default_args(args) : JNI_ERR;
}

MSABI jint JNI_GetCreatedJavaVMs(JavaVM **vms, jsize size, jsize *count)
{
    if (!load_libjvm())
        return JNI_ERR;
    JavaVM *real = NULL;
    jsize n = 0;
    jint rc = linux_created(&real, 1, &n);
    if (rc == JNI_OK && n > 0 && size > 0 && vms)
        vms[0] = (JavaVM *)(void *)&the_vm;
    if (count)
        *count = n;
    return rc;
}

MSABI jint JNI_CreateJavaVM(JavaVM **pvm, void **penv, void *vm_args)
{
    *pvm = NULL;
    *penv = NULL;
    if (!load_libjvm())
        return JNI_ERR;
    const JavaVMInitArgs *in = vm_args;

    /* The translated strings are not freed: HotSpot may keep pointers. */
    JavaVMOption *options = calloc((size_t)in->nOptions + 2, sizeof *options);
    int n = 0;
    int abort_hook = 0;
    for (int i = 0; i < in->nOptions; i++) {
        const JavaVMOption *o = &in->options[i];
        if (strcmp(o->optionString, "exit") == 0) {
            caller_exit_hook = (win_exit_hook)o->extraInfo;
        } else if (strcmp(o->optionString, "abort") == 0) {
            caller_abort_hook = (win_abort_hook)o->extraInfo;
            abort_hook = 1;
        } else if (strcmp(o->optionString, "vfprintf") == 0) {
            /* It would be handed Linux FILE*s: not supported, dropped. */
        } else {
            options[n].optionString = translate_option(o->optionString);
            options[n].extraInfo = o->extraInfo;
            n++;
        }
    }
    options[n].optionString = "exit";
    options[n++].extraInfo = (void *)linux_exit_hook;
    if (abort_hook) {
        options[n].optionString = "abort";
        options[n++].extraInfo = (void *)linux_abort_hook;
    }
    JavaVMInitArgs args = *in;
    args.options = options;
    args.nOptions = n;

    static HANDLE helper;
    if (!helper)
        helper = CreateThread(NULL, 64 * 1024, hook_thread, NULL, 0, NULL);
    sync_working_directory();

    JavaVM *vm = NULL;
    JNIEnv *env = NULL;
    jint rc = linux_create(&vm, (void **)&env, &args);
    if (rc != JNI_OK)
        return rc;
    the_vm.functions = vm_table;
    the_vm.real = vm;
    *pvm = (JavaVM *)(void *)&the_vm;
    *penv = wrap_env(env);
    return JNI_OK;
}
