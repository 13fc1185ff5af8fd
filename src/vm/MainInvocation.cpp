#include "vm/MainInvocation.h"

#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "vm/JavaText.h"

namespace kanne {

namespace {
void describePending(JNIEnv* env)
{
    if ((*env)->ExceptionOccurred(env))
        (*env)->ExceptionDescribe(env);
}
} // namespace

bool runMainClass(Launcher& launcher)
{
    JNIEnv* env = launcher.env;
    // The name goes through a Java string into the VM's modified UTF-8, so
    // class names with non-ASCII letters are found.
    jstring name = newJavaString(env, launcher.mainClass);
    if (!name) {
        describePending(env);
        showError(launcher.splashWindow, TextId::MainClassNotLoadable, {launcher.mainClass});
        return false;
    }
    const char* utf = (*env)->GetStringUTFChars(env, name, nullptr);
    if (!utf) {
        describePending(env);
        return false;
    }
    jclass mainClass = (*env)->FindClass(env, utf);
    if (!mainClass) {
        describePending(env);
        showError(launcher.splashWindow, TextId::MainClassNotFound, {launcher.mainClass});
        (*env)->ReleaseStringUTFChars(env, name, utf);
        return false;
    }
    (*env)->ReleaseStringUTFChars(env, name, utf);

    jmethodID main = (*env)->GetStaticMethodID(env, mainClass, "main", "([Ljava/lang/String;)V");
    if (!main) {
        if ((*env)->ExceptionOccurred(env))
            (*env)->ExceptionDescribe(env);
        else
            showError(launcher.splashWindow, TextId::MainMethodNotFound);
        return false;
    }
    jobjectArray arguments = newJavaStringArray(env, launcher.arguments);
    if (!arguments) {
        describePending(env);
        return false;
    }
    jvalue mainArgs[1];
    mainArgs[0].l = arguments;
    (*env)->CallStaticVoidMethodA(env, mainClass, main, mainArgs);
    bool threw = (*env)->ExceptionOccurred(env) != nullptr;
    if (threw)
        (*env)->ExceptionDescribe(env);
    bool detached = (*launcher.vm)->DetachCurrentThread(launcher.vm) == JNI_OK;
    return detached && !threw;
}

void destroyVm(Launcher& launcher)
{
    if (!launcher.vm)
        return;
    (*launcher.vm)->DestroyJavaVM(launcher.vm);
    launcher.vm = nullptr;
    launcher.env = nullptr;
}

} // namespace kanne
