#include "vm/VmCreation.h"

#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "vm/JavaText.h"

#include <vector>

namespace kanne {

bool createVm(Launcher& launcher)
{
    std::vector<JavaVMOption> options;
    options.reserve(static_cast<std::size_t>(launcher.vmOptions.count()));
    for (const std::string& option : launcher.vmOptions)
        options.push_back({const_cast<char*>(option.c_str()), nullptr});
    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(options.size());
    arguments.options = options.data();
    arguments.ignoreUnrecognized = JNI_FALSE;

    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    if (launcher.createJavaVM(&vm, reinterpret_cast<void**>(&env), &arguments) != JNI_OK || !vm || !env) {
        showError(launcher.splashWindow, TextId::JniException, {loadText(TextId::VmCreationFailed)});
        return false;
    }
    launcher.vm = vm;
    launcher.env = env;
    if (!launcher.outputFile.empty())
        redirectStream(env, launcher.outputFile, "setOut");
    if (!launcher.errorFile.empty())
        redirectStream(env, launcher.errorFile, "setErr");
    return true;
}

bool redirectStream(JNIEnv* env, const std::string& fileName, const char* setter)
{
    auto redirect = [&]() -> bool {
        jstring name = newJavaString(env, fileName);
        jclass fileClass = name ? (*env)->FindClass(env, "java/io/FileOutputStream") : nullptr;
        jmethodID fileInit = fileClass ? (*env)->GetMethodID(env, fileClass, "<init>", "(Ljava/lang/String;)V") : nullptr;
        if (!fileInit)
            return false;
        jvalue fileArgs[1];
        fileArgs[0].l = name;
        jobject file = (*env)->NewObjectA(env, fileClass, fileInit, fileArgs);
        jclass printClass = file ? (*env)->FindClass(env, "java/io/PrintStream") : nullptr;
        // Automatic flushing: what was printed is in the file even if the VM is killed.
        jmethodID printInit =
            printClass ? (*env)->GetMethodID(env, printClass, "<init>", "(Ljava/io/OutputStream;Z)V") : nullptr;
        if (!printInit)
            return false;
        jvalue printArgs[2];
        printArgs[0].l = file;
        printArgs[1].z = JNI_TRUE;
        jobject stream = (*env)->NewObjectA(env, printClass, printInit, printArgs);
        jclass system = stream ? (*env)->FindClass(env, "java/lang/System") : nullptr;
        jmethodID set = system ? (*env)->GetStaticMethodID(env, system, setter, "(Ljava/io/PrintStream;)V") : nullptr;
        if (!set)
            return false;
        jvalue setArgs[1];
        setArgs[0].l = stream;
        (*env)->CallStaticVoidMethodA(env, system, set, setArgs);
        return true;
    };
    bool done = redirect();
    if ((*env)->ExceptionOccurred(env)) {
        (*env)->ExceptionDescribe(env); // also clears it
        return false;
    }
    return done;
}

} // namespace kanne
