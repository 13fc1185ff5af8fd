// jnihost: the smallest host of a Java VM through a jvm.dll.
//
//   jnihost.exe <jvm.dll> <main class> [--option <vm option>]... [--on-worker]
//               [--secondary <method>] [--exit-hook] [-- <app args>...]
//
// Loads the jvm.dll, creates a VM with the options (unrecognised ones are
// errors), calls <main class>.main(String[]) with the app args, then
// DestroyJavaVM, which waits for the VM's non-daemon threads.
//   --on-worker       call main on a thread of ours attached to the VM,
//                     while the first thread waits for it
//   --secondary NAME  afterwards call static void NAME(String[]) of the
//                     same class, with the same args
//   --exit-hook       give the VM an "exit" hook that reports System.exit
//                     codes on stderr
// Exit code: 0 done, 1 main threw (described on stderr), negative when the
// host itself failed (reason on stderr).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vm/Jni.h"

namespace {

enum ExitCode {
    kDone = 0,
    kJavaThrew = 1,
    kUsage = -1,
    kNoJvmDll = -2,
    kCreateFailed = -3,
    kNoClass = -4,
    kNoMethod = -5,
    kNoArgs = -6,
    kNoThread = -7,
};

std::string narrow(const wchar_t *text, UINT codePage)
{
    int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(codePage, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

struct Request {
    const wchar_t *jvmDll = nullptr;
    std::string mainClass;               // with '/' separators
    std::vector<std::string> options;    // in the ANSI code page, as a jvm.dll expects
    std::vector<const wchar_t *> appArgs;
    bool onWorker = false;
    bool exitHook = false;
    std::string secondary;
};

bool parse(int argc, wchar_t **argv, Request &r)
{
    if (argc < 3)
        return false;
    r.jvmDll = argv[1];
    r.mainClass = narrow(argv[2], CP_UTF8);
    for (char &c : r.mainClass)
        if (c == '.')
            c = '/';
    int i = 3;
    for (; i < argc; i++) {
        std::wstring_view a = argv[i];
        if (a == L"--") {
            i++;
            break;
        } else if (a == L"--option" && i + 1 < argc) {
            r.options.push_back(narrow(argv[++i], CP_ACP));
        } else if (a == L"--on-worker") {
            r.onWorker = true;
        } else if (a == L"--exit-hook") {
            r.exitHook = true;
        } else if (a == L"--secondary" && i + 1 < argc) {
            r.secondary = narrow(argv[++i], CP_UTF8);
        } else {
            return false;
        }
    }
    for (; i < argc; i++)
        r.appArgs.push_back(argv[i]);
    return true;
}

// Calls static void <method>(String[]) of the main class; returns an exit code.
int callStatic(JNIEnv *env, const Request &r, const char *method)
{
    jclass cls = (*env)->FindClass(env, r.mainClass.c_str());
    if (!cls) {
        (*env)->ExceptionDescribe(env);
        std::fprintf(stderr, "jnihost: class %s not found\n", r.mainClass.c_str());
        return kNoClass;
    }
    jmethodID mid = (*env)->GetStaticMethodID(env, cls, method, "([Ljava/lang/String;)V");
    if (!mid) {
        (*env)->ExceptionDescribe(env);
        std::fprintf(stderr, "jnihost: no static void %s(String[]) in %s\n", method,
                     r.mainClass.c_str());
        return kNoMethod;
    }
    jclass stringClass = (*env)->FindClass(env, "java/lang/String");
    jobjectArray args = stringClass ? (*env)->NewObjectArray(
                                          env, static_cast<jsize>(r.appArgs.size()),
                                          stringClass, nullptr)
                                    : nullptr;
    for (size_t i = 0; args && i < r.appArgs.size(); i++) {
        // wchar_t is UTF-16 on Windows, which is what a jstring holds.
        const wchar_t *arg = r.appArgs[i];
        jstring s = (*env)->NewString(env, reinterpret_cast<const jchar *>(arg),
                                      static_cast<jsize>(std::wcslen(arg)));
        if (!s) {
            args = nullptr;
            break;
        }
        (*env)->SetObjectArrayElement(env, args, static_cast<jsize>(i), s);
        (*env)->DeleteLocalRef(env, s);
    }
    if (!args) {
        (*env)->ExceptionDescribe(env);
        std::fprintf(stderr, "jnihost: cannot build the String[] argument\n");
        return kNoArgs;
    }
    (*env)->CallStaticVoidMethod(env, cls, mid, args);
    if ((*env)->ExceptionCheck(env)) {
        (*env)->ExceptionDescribe(env);
        return kJavaThrew;
    }
    (*env)->DeleteLocalRef(env, args);
    (*env)->DeleteLocalRef(env, cls);
    return kDone;
}

int runCalls(JNIEnv *env, const Request &r)
{
    int rc = callStatic(env, r, "main");
    if (rc == kDone && !r.secondary.empty())
        rc = callStatic(env, r, r.secondary.c_str());
    return rc;
}

void JNICALL reportExit(jint code)
{
    std::fprintf(stderr, "jnihost: exit hook called with %d\n", static_cast<int>(code));
    std::fflush(stderr);
}

struct WorkerJob {
    JavaVM *vm;
    const Request *request;
    int rc;
};

DWORD WINAPI worker(void *param)
{
    auto *job = static_cast<WorkerJob *>(param);
    JNIEnv *env = nullptr;
    JavaVMAttachArgs attach{JNI_VERSION_1_2, const_cast<char *>("jnihost-worker"), nullptr};
    jint rc = (*job->vm)->AttachCurrentThread(job->vm, reinterpret_cast<void **>(&env), &attach);
    if (rc != JNI_OK) {
        std::fprintf(stderr, "jnihost: AttachCurrentThread returned %d\n", static_cast<int>(rc));
        job->rc = kNoThread;
        return 0;
    }
    job->rc = runCalls(env, *job->request);
    (*job->vm)->DetachCurrentThread(job->vm);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    Request r;
    if (!parse(argc, argv, r)) {
        std::fprintf(stderr,
                     "usage: jnihost <jvm.dll> <main class> [--option <vm option>]... "
                     "[--on-worker] [--secondary <method>] [--exit-hook] [-- <args>...]\n");
        return kUsage;
    }

    HMODULE jvm = LoadLibraryW(r.jvmDll);
    auto create = jvm ? reinterpret_cast<JNI_CreateJavaVM_t>(
                            reinterpret_cast<void *>(GetProcAddress(jvm, "JNI_CreateJavaVM")))
                      : nullptr;
    if (!create) {
        std::fprintf(stderr, "jnihost: cannot use %s (error %lu)\n",
                     narrow(r.jvmDll, CP_UTF8).c_str(), GetLastError());
        return kNoJvmDll;
    }

    std::vector<JavaVMOption> options;
    for (std::string &o : r.options)
        options.push_back({o.data(), nullptr});
    if (r.exitHook)
        options.push_back({const_cast<char *>("exit"), reinterpret_cast<void *>(reportExit)});
    JavaVMInitArgs init{};
    init.version = JNI_VERSION_1_2;
    init.nOptions = static_cast<jint>(options.size());
    init.options = options.data();
    init.ignoreUnrecognized = JNI_FALSE;

    JavaVM *vm = nullptr;
    JNIEnv *env = nullptr;
    jint created = create(&vm, reinterpret_cast<void **>(&env), &init);
    if (created != JNI_OK) {
        std::fprintf(stderr, "jnihost: JNI_CreateJavaVM returned %d\n", static_cast<int>(created));
        return kCreateFailed;
    }

    int rc;
    if (r.onWorker) {
        WorkerJob job{vm, &r, kNoThread};
        HANDLE thread = CreateThread(nullptr, 0, worker, &job, 0, nullptr);
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        } else {
            std::fprintf(stderr, "jnihost: CreateThread failed (error %lu)\n", GetLastError());
        }
        rc = job.rc;
    } else {
        rc = runCalls(env, r);
    }

    jint destroyed = (*vm)->DestroyJavaVM(vm);
    if (destroyed != JNI_OK)
        std::fprintf(stderr, "jnihost: DestroyJavaVM returned %d\n", static_cast<int>(destroyed));
    return rc;
}
