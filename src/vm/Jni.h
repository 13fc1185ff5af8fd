// Minimal JNI declarations for talking to a Windows jvm.dll.
//
// Only what the launcher and its tools call is typed; every other slot of the
// function tables is padding, so each typed entry sits at its JNI index
// (checked by the static_asserts below).  Layouts follow the JNI
// specification, so one header serves i686 and x86_64.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define JNICALL __stdcall
#else
#define JNICALL
#endif

typedef uint8_t jboolean;
typedef int8_t jbyte;
typedef uint16_t jchar;
typedef int16_t jshort;
typedef int32_t jint;
typedef int64_t jlong;
typedef float jfloat;
typedef double jdouble;
typedef jint jsize;

// Opaque references; the hierarchy lets a jclass or jstring pass as jobject.
struct JniObject_ {};
struct JniClass_ : JniObject_ {};
struct JniThrowable_ : JniObject_ {};
struct JniString_ : JniObject_ {};
struct JniArray_ : JniObject_ {};
struct JniObjectArray_ : JniArray_ {};
typedef JniObject_ *jobject;
typedef JniClass_ *jclass;
typedef JniThrowable_ *jthrowable;
typedef JniString_ *jstring;
typedef JniArray_ *jarray;
typedef JniObjectArray_ *jobjectArray;

struct JniMethodId_;
struct JniFieldId_;
typedef JniMethodId_ *jmethodID;
typedef JniFieldId_ *jfieldID;

union jvalue {
    jboolean z;
    jbyte b;
    jchar c;
    jshort s;
    jint i;
    jlong j;
    jfloat f;
    jdouble d;
    jobject l;
};

constexpr jboolean JNI_FALSE = 0;
constexpr jboolean JNI_TRUE = 1;

constexpr jint JNI_VERSION_1_2 = 0x00010002;
constexpr jint JNI_VERSION_1_8 = 0x00010008;

constexpr jint JNI_OK = 0;
constexpr jint JNI_ERR = -1;
constexpr jint JNI_EDETACHED = -2;
constexpr jint JNI_EVERSION = -3;
constexpr jint JNI_ENOMEM = -4;
constexpr jint JNI_EEXIST = -5;
constexpr jint JNI_EINVAL = -6;

struct JNINativeInterface_;
struct JNIInvokeInterface_;
typedef const JNINativeInterface_ *JNIEnv;  // used as (*env)->Fn(env, ...)
typedef const JNIInvokeInterface_ *JavaVM;  // used as (*vm)->Fn(vm, ...)

struct JavaVMOption {
    char *optionString;
    void *extraInfo;
};

struct JavaVMInitArgs {
    jint version;
    jint nOptions;
    JavaVMOption *options;
    jboolean ignoreUnrecognized;
};

struct JavaVMAttachArgs {
    jint version;
    char *name;
    jobject group;
};

// Slots [from, to) that we never call.
#define KANNE_JNI_GAP(from, to) void *unused_##from[(to) - (from)]

struct JNIInvokeInterface_ {
    KANNE_JNI_GAP(0, 3);
    jint(JNICALL *DestroyJavaVM)(JavaVM *vm);                                     // 3
    jint(JNICALL *AttachCurrentThread)(JavaVM *vm, void **penv, void *args);      // 4
    jint(JNICALL *DetachCurrentThread)(JavaVM *vm);                               // 5
    jint(JNICALL *GetEnv)(JavaVM *vm, void **penv, jint version);                 // 6
    jint(JNICALL *AttachCurrentThreadAsDaemon)(JavaVM *vm, void **penv, void *args);  // 7
};

// Variadic entries are cdecl on every ABI, so they carry no JNICALL.
struct JNINativeInterface_ {
    KANNE_JNI_GAP(0, 6);
    jclass(JNICALL *FindClass)(JNIEnv *env, const char *name);  // 6
    KANNE_JNI_GAP(7, 15);
    jthrowable(JNICALL *ExceptionOccurred)(JNIEnv *env);  // 15
    void(JNICALL *ExceptionDescribe)(JNIEnv *env);        // 16
    void(JNICALL *ExceptionClear)(JNIEnv *env);           // 17
    KANNE_JNI_GAP(18, 23);
    void(JNICALL *DeleteLocalRef)(JNIEnv *env, jobject obj);  // 23
    KANNE_JNI_GAP(24, 28);
    jobject (*NewObject)(JNIEnv *env, jclass clazz, jmethodID method, ...);  // 28
    void *unused_29;
    jobject(JNICALL *NewObjectA)(JNIEnv *env, jclass clazz, jmethodID method,
                                 const jvalue *args);  // 30
    jclass(JNICALL *GetObjectClass)(JNIEnv *env, jobject obj);  // 31
    void *unused_32;
    jmethodID(JNICALL *GetMethodID)(JNIEnv *env, jclass clazz, const char *name,
                                    const char *sig);  // 33
    KANNE_JNI_GAP(34, 36);
    jobject(JNICALL *CallObjectMethodA)(JNIEnv *env, jobject obj, jmethodID method,
                                        const jvalue *args);  // 36
    KANNE_JNI_GAP(37, 63);
    void(JNICALL *CallVoidMethodA)(JNIEnv *env, jobject obj, jmethodID method,
                                   const jvalue *args);  // 63
    KANNE_JNI_GAP(64, 113);
    jmethodID(JNICALL *GetStaticMethodID)(JNIEnv *env, jclass clazz, const char *name,
                                          const char *sig);  // 113
    KANNE_JNI_GAP(114, 141);
    void (*CallStaticVoidMethod)(JNIEnv *env, jclass clazz, jmethodID method, ...);  // 141
    void *unused_142;
    void(JNICALL *CallStaticVoidMethodA)(JNIEnv *env, jclass clazz, jmethodID method,
                                         const jvalue *args);  // 143
    jfieldID(JNICALL *GetStaticFieldID)(JNIEnv *env, jclass clazz, const char *name,
                                        const char *sig);  // 144
    jobject(JNICALL *GetStaticObjectField)(JNIEnv *env, jclass clazz, jfieldID field);  // 145
    KANNE_JNI_GAP(146, 163);
    jstring(JNICALL *NewString)(JNIEnv *env, const jchar *chars, jsize len);  // 163
    KANNE_JNI_GAP(164, 167);
    jstring(JNICALL *NewStringUTF)(JNIEnv *env, const char *utf);  // 167
    void *unused_168;
    const char *(JNICALL *GetStringUTFChars)(JNIEnv *env, jstring str, jboolean *isCopy);  // 169
    void(JNICALL *ReleaseStringUTFChars)(JNIEnv *env, jstring str, const char *chars);   // 170
    jsize(JNICALL *GetArrayLength)(JNIEnv *env, jarray array);  // 171
    jobjectArray(JNICALL *NewObjectArray)(JNIEnv *env, jsize len, jclass clazz,
                                          jobject init);  // 172
    void *unused_173;
    void(JNICALL *SetObjectArrayElement)(JNIEnv *env, jobjectArray array, jsize index,
                                         jobject value);  // 174
    KANNE_JNI_GAP(175, 228);
    jboolean(JNICALL *ExceptionCheck)(JNIEnv *env);  // 228
};

#undef KANNE_JNI_GAP

#define KANNE_JNI_SLOT(table, entry, index) \
    static_assert(offsetof(table, entry) == (index) * sizeof(void *), #entry " slot")
KANNE_JNI_SLOT(JNIInvokeInterface_, DestroyJavaVM, 3);
KANNE_JNI_SLOT(JNIInvokeInterface_, AttachCurrentThread, 4);
KANNE_JNI_SLOT(JNIInvokeInterface_, DetachCurrentThread, 5);
KANNE_JNI_SLOT(JNIInvokeInterface_, GetEnv, 6);
KANNE_JNI_SLOT(JNIInvokeInterface_, AttachCurrentThreadAsDaemon, 7);
KANNE_JNI_SLOT(JNINativeInterface_, FindClass, 6);
KANNE_JNI_SLOT(JNINativeInterface_, ExceptionOccurred, 15);
KANNE_JNI_SLOT(JNINativeInterface_, ExceptionDescribe, 16);
KANNE_JNI_SLOT(JNINativeInterface_, ExceptionClear, 17);
KANNE_JNI_SLOT(JNINativeInterface_, DeleteLocalRef, 23);
KANNE_JNI_SLOT(JNINativeInterface_, NewObject, 28);
KANNE_JNI_SLOT(JNINativeInterface_, NewObjectA, 30);
KANNE_JNI_SLOT(JNINativeInterface_, GetObjectClass, 31);
KANNE_JNI_SLOT(JNINativeInterface_, GetMethodID, 33);
KANNE_JNI_SLOT(JNINativeInterface_, CallObjectMethodA, 36);
KANNE_JNI_SLOT(JNINativeInterface_, GetStringUTFChars, 169);
KANNE_JNI_SLOT(JNINativeInterface_, ReleaseStringUTFChars, 170);
KANNE_JNI_SLOT(JNINativeInterface_, CallVoidMethodA, 63);
KANNE_JNI_SLOT(JNINativeInterface_, GetStaticMethodID, 113);
KANNE_JNI_SLOT(JNINativeInterface_, CallStaticVoidMethod, 141);
KANNE_JNI_SLOT(JNINativeInterface_, CallStaticVoidMethodA, 143);
KANNE_JNI_SLOT(JNINativeInterface_, GetStaticFieldID, 144);
KANNE_JNI_SLOT(JNINativeInterface_, GetStaticObjectField, 145);
KANNE_JNI_SLOT(JNINativeInterface_, NewString, 163);
KANNE_JNI_SLOT(JNINativeInterface_, NewStringUTF, 167);
KANNE_JNI_SLOT(JNINativeInterface_, GetArrayLength, 171);
KANNE_JNI_SLOT(JNINativeInterface_, NewObjectArray, 172);
KANNE_JNI_SLOT(JNINativeInterface_, SetObjectArrayElement, 174);
KANNE_JNI_SLOT(JNINativeInterface_, ExceptionCheck, 228);
#undef KANNE_JNI_SLOT

// The jvm.dll exports, as found with GetProcAddress.
typedef jint(JNICALL *JNI_CreateJavaVM_t)(JavaVM **pvm, void **penv, void *args);
typedef jint(JNICALL *JNI_GetDefaultJavaVMInitArgs_t)(void *args);
typedef jint(JNICALL *JNI_GetCreatedJavaVMs_t)(JavaVM **vms, jsize size, jsize *count);
