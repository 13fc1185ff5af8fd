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
    ClassLookup outcome;
    jclass mainClass = findClassByName(env, launcher.mainClass, outcome);
    if (!mainClass) {
        describePending(env);
        if (outcome == ClassLookup::NotConvertible)
            showError(launcher.splashWindow, TextId::MainClassNotLoadable, {launcher.mainClass});
        else if (outcome == ClassLookup::NotFound)
            showError(launcher.splashWindow, TextId::MainClassNotFound, {launcher.mainClass});
        return false;
    }

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
