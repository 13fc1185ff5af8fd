// Calls into a VM created in this process through the test runtime, covering
// the entries whose arguments the runtime has to convert: the variadic (...)
// and va_list (...V) Call*Method and NewObject entries, for every type.
//
// src/vm/Jni.h types only what the launcher uses; other entries are reached
// by their index in the JNIEnv function table.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "BridgeTest.h"
#include "vm/Jni.h"

using namespace bridge_test;

namespace {

// Entry indices.  The Call<Type>Method families come in the order Object,
// Boolean, Byte, Char, Short, Int, Long, Float, Double, Void, three entries
// per type (..., ...V, ...A).
enum Type { kObject, kBoolean, kByte, kChar, kShort, kInt, kLong, kFloat, kDouble, kVoid };
constexpr int kFromReflectedMethod = 7;
constexpr int kNewObjectV = 29;
constexpr int callMethod(Type t) { return 34 + 3 * t; }
constexpr int callNonvirtualMethod(Type t) { return 64 + 3 * t; }
constexpr int callStaticMethod(Type t) { return 114 + 3 * t; }
constexpr int kGetStringUTFChars = 169;
constexpr int kReleaseStringUTFChars = 170;
constexpr int kGetStringChars = 165;
constexpr int kGetStringLength = 164;
constexpr int kReleaseStringChars = 166;
constexpr int kNewIntArray = 179;
constexpr int kSetIntArrayRegion = 211;
constexpr int kGetJavaVM = 219;
constexpr int kJvmtiVersion1_0 = 0x30010000;

template <typename Fn>
Fn entry(JNIEnv *env, int index)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *const *>(*env)[index]);
}

template <typename R>
using StaticVarargs = R (*)(JNIEnv *, jclass, jmethodID, ...);
template <typename R>
using StaticVaList = R(JNICALL *)(JNIEnv *, jclass, jmethodID, va_list);
template <typename R>
using InstanceVarargs = R (*)(JNIEnv *, jobject, jmethodID, ...);
template <typename R>
using NonvirtualVarargs = R (*)(JNIEnv *, jobject, jclass, jmethodID, ...);

HMODULE g_dll;
JavaVM *g_vm;
JNIEnv *g_env;  // the main thread's

// One VM for all tests here: a process can create only one.
class VmEnvironment : public testing::Environment {
public:
    void TearDown() override
    {
        if (g_vm)
            (*g_vm)->DestroyJavaVM(g_vm);
    }
};

JNIEnv *vmEnv()
{
    if (g_env)
        return g_env;
    g_dll = LoadLibraryW(jvmDll().c_str());
    auto create = g_dll ? reinterpret_cast<JNI_CreateJavaVM_t>(
                              reinterpret_cast<void *>(GetProcAddress(g_dll, "JNI_CreateJavaVM")))
                      : nullptr;
    if (!create)
        return nullptr;
    std::string cp = "-Djava.class.path=";
    for (wchar_t c : paths().classes)
        cp += static_cast<char>(c);  // test paths are ASCII
    JavaVMOption options[] = {{cp.data(), nullptr}};
    JavaVMInitArgs init{JNI_VERSION_1_2, 1, options, JNI_FALSE};
    if (create(&g_vm, reinterpret_cast<void **>(&g_env), &init) != JNI_OK)
        g_env = nullptr;
    return g_env;
}

std::string utf8(JNIEnv *env, jobject s)
{
    if (!s)
        return "(null)";
    auto get = entry<const char *(JNICALL *)(JNIEnv *, jobject, jboolean *)>(env, kGetStringUTFChars);
    auto release = entry<void(JNICALL *)(JNIEnv *, jobject, const char *)>(env, kReleaseStringUTFChars);
    const char *chars = get(env, s, nullptr);
    std::string out = chars;
    release(env, s, chars);
    return out;
}

class Varargs : public testing::Test {
protected:
    void SetUp() override
    {
        env = vmEnv();
        ASSERT_NE(env, nullptr) << "cannot create a VM from " << jvmDll();
        target = (*env)->FindClass(env, "VarargsTarget");
        ASSERT_NE(target, nullptr);
    }

    void TearDown() override
    {
        if (env && (*env)->ExceptionCheck(env)) {
            (*env)->ExceptionDescribe(env);
            ADD_FAILURE() << "Java exception pending";
        }
    }

    jmethodID staticMethod(const char *name, const char *sig)
    {
        jmethodID id = (*env)->GetStaticMethodID(env, target, name, sig);
        EXPECT_NE(id, nullptr) << name << sig;
        return id;
    }

    jmethodID method(jclass cls, const char *name, const char *sig)
    {
        jmethodID id = (*env)->GetMethodID(env, cls, name, sig);
        EXPECT_NE(id, nullptr) << name << sig;
        return id;
    }

    jstring str(const char *utf) { return (*env)->NewStringUTF(env, utf); }

    template <typename R, typename... A>
    R callStatic(Type t, const char *name, const char *sig, A... args)
    {
        return entry<StaticVarargs<R>>(env, callStaticMethod(t))(env, target,
                                                                 staticMethod(name, sig), args...);
    }

    // Calls through the ...V entry, with a va_list made here.
    template <typename R>
    static R callStaticV(JNIEnv *env, Type t, jclass cls, jmethodID id, ...)
    {
        va_list ap;
        va_start(ap, id);
        R r = entry<StaticVaList<R>>(env, callStaticMethod(t) + 1)(env, cls, id, ap);
        va_end(ap);
        return r;
    }

    JNIEnv *env = nullptr;
    jclass target = nullptr;
};

}  // namespace

TEST_F(Varargs, StaticCallsReturnEveryType)
{
    EXPECT_EQ(callStatic<jboolean>(kBoolean, "echoZ", "(Z)Z", JNI_TRUE), JNI_TRUE);
    EXPECT_EQ(callStatic<jbyte>(kByte, "echoB", "(B)B", jbyte{-5}), -5);
    EXPECT_EQ(callStatic<jchar>(kChar, "echoC", "(C)C", jchar{0x65E5}), 0x65E5);
    EXPECT_EQ(callStatic<jshort>(kShort, "echoS", "(S)S", jshort{-300}), -300);
    EXPECT_EQ(callStatic<jint>(kInt, "echoI", "(I)I", jint{-123456789}), -123456789);
    EXPECT_EQ(callStatic<jlong>(kLong, "echoJ", "(J)J", jlong{-1234567890123456789}),
              -1234567890123456789);
    EXPECT_EQ(callStatic<jfloat>(kFloat, "echoF", "(F)F", jfloat{1.5f}), 1.5f);
    EXPECT_EQ(callStatic<jdouble>(kDouble, "echoD", "(D)D", jdouble{-2.25}), -2.25);
    jstring s = str("object");
    jobject back = callStatic<jobject>(kObject, "echoL", "(Ljava/lang/Object;)Ljava/lang/Object;", s);
    EXPECT_EQ(utf8(env, back), "object");
    callStatic<void>(kVoid, "record", "(IDLjava/lang/String;)V", jint{7}, jdouble{0.5}, str("v"));
    EXPECT_EQ(utf8(env, callStatic<jobject>(kObject, "last", "()Ljava/lang/String;")),
              "record 7 0.5 v");
}

TEST_F(Varargs, StaticCallPassesEveryArgumentType)
{
    auto newIntArray = entry<jobject(JNICALL *)(JNIEnv *, jsize)>(env, kNewIntArray);
    auto setInts = entry<void(JNICALL *)(JNIEnv *, jobject, jsize, jsize, const jint *)>(
        env, kSetIntArrayRegion);
    jobject ints = newIntArray(env, 3);
    const jint values[] = {1, -2, 3};
    setInts(env, ints, 0, 3, values);
    jobject text = callStatic<jobject>(
        kObject, "describe", "(ZBCSIJFDLjava/lang/String;[I)Ljava/lang/String;", JNI_TRUE,
        jbyte{-5}, jchar{0xE9}, jshort{-300}, jint{123456}, jlong{1234567890123}, jfloat{1.5f},
        jdouble{2.25}, str("s\xc3\xa9"), ints);
    EXPECT_EQ(utf8(env, text), "true -5 233 -300 123456 1234567890123 1.5 2.25 s\xc3\xa9 [1, -2, 3]");
}

TEST_F(Varargs, ArgumentsBeyondTheRegistersArrive)
{
    jobject text = callStatic<jobject>(kObject, "many", "(IDJFIDJFSBCDZ)Ljava/lang/String;",
                                       jint{1}, jdouble{2.5}, jlong{-3}, jfloat{4.25f}, jint{5},
                                       jdouble{6.125}, jlong{7000000000}, jfloat{-8.5f},
                                       jshort{9}, jbyte{10}, jchar{'K'}, jdouble{12.75},
                                       JNI_FALSE);
    EXPECT_EQ(utf8(env, text), "1 2.5 -3 4.25 5 6.125 7000000000 -8.5 9 10 75 12.75 false");
}

TEST_F(Varargs, VaListEntriesConvertLikeVarargs)
{
    jmethodID many = staticMethod("many", "(IDJFIDJFSBCDZ)Ljava/lang/String;");
    jobject text = callStaticV<jobject>(env, kObject, target, many, jint{1}, jdouble{2.5},
                                        jlong{-3}, jfloat{4.25f}, jint{5}, jdouble{6.125},
                                        jlong{7000000000}, jfloat{-8.5f}, jshort{9}, jbyte{10},
                                        jchar{'K'}, jdouble{12.75}, JNI_TRUE);
    EXPECT_EQ(utf8(env, text), "1 2.5 -3 4.25 5 6.125 7000000000 -8.5 9 10 75 12.75 true");
    EXPECT_EQ(callStaticV<jdouble>(env, kDouble, target, staticMethod("echoD", "(D)D"), 0.125),
              0.125);
    EXPECT_EQ(callStaticV<jlong>(env, kLong, target, staticMethod("echoJ", "(J)J"),
                                 jlong{1} << 40),
              jlong{1} << 40);
}

TEST_F(Varargs, ConstructorsAndInstanceMethods)
{
    jmethodID ctor = method(target, "<init>", "(Ljava/lang/String;JFC)V");
    jobject obj = (*env)->NewObject(env, target, ctor, str("made"), jlong{40}, jfloat{0.5f},
                                    jchar{'m'});
    ASSERT_NE(obj, nullptr);
    auto callObject = entry<InstanceVarargs<jobject>>(env, callMethod(kObject));
    EXPECT_EQ(utf8(env, callObject(env, obj, method(target, "state", "()Ljava/lang/String;"))),
              "made 40 0.5 109");
    auto callLong = entry<InstanceVarargs<jlong>>(env, callMethod(kLong));
    EXPECT_EQ(callLong(env, obj, method(target, "plus", "(JIS)J"), jlong{2}, jint{-1}, jshort{3}),
              44);
    auto callFloat = entry<InstanceVarargs<jfloat>>(env, callMethod(kFloat));
    EXPECT_EQ(callFloat(env, obj, method(target, "scaled", "(FD)F"), jfloat{3.0f}, jdouble{0.25}),
              1.75f);

    // NewObjectV, with a va_list made here.
    auto newObjectV = [this](jclass cls, jmethodID id, ...) {
        va_list ap;
        va_start(ap, id);
        auto fn = entry<jobject(JNICALL *)(JNIEnv *, jclass, jmethodID, va_list)>(env, kNewObjectV);
        jobject o = fn(env, cls, id, ap);
        va_end(ap);
        return o;
    };
    jobject second = newObjectV(target, ctor, str("v"), jlong{-1}, jfloat{2.0f}, jchar{0x65E5});
    EXPECT_EQ(utf8(env, callObject(env, second, method(target, "state", "()Ljava/lang/String;"))),
              "v -1 2.0 26085");
}

TEST_F(Varargs, NonvirtualCallsReachTheNamedClass)
{
    jclass child = (*env)->FindClass(env, "VarargsTarget$Child");
    ASSERT_NE(child, nullptr);
    jobject obj = (*env)->NewObject(env, child, method(child, "<init>", "()V"));
    jmethodID name = method(target, "name", "(I)Ljava/lang/String;");
    auto virtualCall = entry<InstanceVarargs<jobject>>(env, callMethod(kObject));
    auto nonvirtualCall = entry<NonvirtualVarargs<jobject>>(env, callNonvirtualMethod(kObject));
    EXPECT_EQ(utf8(env, virtualCall(env, obj, name, jint{1})), "Child 1");
    EXPECT_EQ(utf8(env, nonvirtualCall(env, obj, target, name, jint{2})), "VarargsTarget 2");
}

TEST_F(Varargs, MethodIdsFromReflectionWork)
{
    // The runtime never saw this id being looked up by name and descriptor.
    jobject reflected = callStatic<jobject>(kObject, "method",
                                            "(Ljava/lang/String;)Ljava/lang/reflect/Method;",
                                            str("hidden"));
    ASSERT_NE(reflected, nullptr);
    auto fromReflected = entry<jmethodID(JNICALL *)(JNIEnv *, jobject)>(env, kFromReflectedMethod);
    jmethodID hidden = fromReflected(env, reflected);
    ASSERT_NE(hidden, nullptr);
    auto call = entry<StaticVarargs<jobject>>(env, callStaticMethod(kObject));
    EXPECT_EQ(utf8(env, call(env, target, hidden, jlong{-9}, jfloat{0.75f}, str("x"))),
              "hidden -9 0.75 x");
}

TEST_F(Varargs, NonAsciiStringsRoundTripAsUtf16)
{
    const wchar_t text[] = L"h\u00e9 \u65e5\u672c \U0001F600";
    jsize length = static_cast<jsize>(wcslen(text));
    jstring s = (*env)->NewString(env, reinterpret_cast<const jchar *>(text), length);
    auto getLength = entry<jsize(JNICALL *)(JNIEnv *, jstring)>(env, kGetStringLength);
    auto getChars = entry<const jchar *(JNICALL *)(JNIEnv *, jstring, jboolean *)>(env, kGetStringChars);
    auto releaseChars = entry<void(JNICALL *)(JNIEnv *, jstring, const jchar *)>(env, kReleaseStringChars);
    ASSERT_EQ(getLength(env, s), length);
    const jchar *chars = getChars(env, s, nullptr);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(chars), length), text);
    releaseChars(env, s, chars);
    EXPECT_EQ(utf8(env, s), "h\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xed\xa0\xbd\xed\xb8\x80")
        << "modified UTF-8 encodes the surrogates one by one";
}

namespace {

struct AttachJob {
    jint result = 0;
    jint attach = JNI_ERR, getEnv = JNI_ERR, detach = JNI_ERR, afterDetach = JNI_OK;
    bool sameEnv = false;
};

DWORD WINAPI attachAndCall(void *param)
{
    auto *job = static_cast<AttachJob *>(param);
    JNIEnv *env = nullptr, *again = nullptr;
    job->attach = (*g_vm)->AttachCurrentThread(g_vm, reinterpret_cast<void **>(&env), nullptr);
    if (job->attach != JNI_OK)
        return 0;
    job->getEnv = (*g_vm)->GetEnv(g_vm, reinterpret_cast<void **>(&again), JNI_VERSION_1_2);
    job->sameEnv = env == again && env != g_env;
    jclass cls = (*env)->FindClass(env, "VarargsTarget");
    jmethodID echo = cls ? (*env)->GetStaticMethodID(env, cls, "echoI", "(I)I") : nullptr;
    if (echo)
        job->result = entry<StaticVarargs<jint>>(env, callStaticMethod(kInt))(env, cls, echo, 99);
    job->detach = (*g_vm)->DetachCurrentThread(g_vm);
    job->afterDetach = (*g_vm)->GetEnv(g_vm, reinterpret_cast<void **>(&again), JNI_VERSION_1_2);
    return 0;
}

}  // namespace

TEST_F(Varargs, WorkerThreadsAttachAndCall)
{
    AttachJob job;
    HANDLE thread = CreateThread(nullptr, 0, attachAndCall, &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(job.attach, JNI_OK);
    EXPECT_EQ(job.getEnv, JNI_OK);
    EXPECT_TRUE(job.sameEnv);
    EXPECT_EQ(job.result, 99);
    EXPECT_EQ(job.detach, JNI_OK);
    EXPECT_EQ(job.afterDetach, JNI_EDETACHED);
}

TEST_F(Varargs, VmLookupsAnswerWithTheWindowsSideVm)
{
    JavaVM *fromEnv = nullptr;
    EXPECT_EQ(entry<jint(JNICALL *)(JNIEnv *, JavaVM **)>(env, kGetJavaVM)(env, &fromEnv), JNI_OK);
    EXPECT_EQ(fromEnv, g_vm);
    JNIEnv *same = nullptr;
    EXPECT_EQ((*g_vm)->GetEnv(g_vm, reinterpret_cast<void **>(&same), JNI_VERSION_1_8), JNI_OK);
    EXPECT_EQ(same, env);
    void *tool = reinterpret_cast<void *>(1);
    EXPECT_EQ((*g_vm)->GetEnv(g_vm, &tool, kJvmtiVersion1_0), JNI_EVERSION);
    EXPECT_EQ(tool, nullptr);

    auto created = reinterpret_cast<JNI_GetCreatedJavaVMs_t>(
        reinterpret_cast<void *>(GetProcAddress(g_dll, "JNI_GetCreatedJavaVMs")));
    ASSERT_NE(created, nullptr);
    JavaVM *vms[2] = {};
    jsize count = 0;
    EXPECT_EQ(created(vms, 2, &count), JNI_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(vms[0], g_vm);
}

namespace {
const testing::Environment *const vmEnvironment =
    testing::AddGlobalTestEnvironment(new VmEnvironment);
}
