#include "vm/JavaText.h"

#include <windows.h>

namespace kanne {

std::u16string toUtf16(std::string_view text)
{
    if (text.empty())
        return {};
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string result(static_cast<std::size_t>(length > 0 ? length : 0), u'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(result.data()), length);
    return result;
}

jstring newJavaString(JNIEnv* env, std::string_view text)
{
    std::u16string wide = toUtf16(text);
    return (*env)->NewString(env, reinterpret_cast<const jchar*>(wide.data()), static_cast<jsize>(wide.size()));
}

jclass findClassByName(JNIEnv* env, const std::string& name, ClassLookup& outcome)
{
    jstring text = newJavaString(env, name);
    if (!text) {
        outcome = ClassLookup::NotConvertible;
        return nullptr;
    }
    const char* utf = (*env)->GetStringUTFChars(env, text, nullptr);
    if (!utf) {
        outcome = ClassLookup::NoUtf;
        (*env)->DeleteLocalRef(env, text);
        return nullptr;
    }
    jclass found = (*env)->FindClass(env, utf);
    (*env)->ReleaseStringUTFChars(env, text, utf);
    (*env)->DeleteLocalRef(env, text);
    outcome = found ? ClassLookup::Found : ClassLookup::NotFound;
    return found;
}

jobjectArray newJavaStringArray(JNIEnv* env, const StringList& items)
{
    jclass stringClass = (*env)->FindClass(env, "java/lang/String");
    if (!stringClass)
        return nullptr;
    jobjectArray array = (*env)->NewObjectArray(env, items.count(), stringClass, nullptr);
    if (!array)
        return nullptr;
    for (int i = 0; i < items.count(); ++i) {
        jstring item = newJavaString(env, items[i]);
        if (!item)
            return nullptr;
        (*env)->SetObjectArrayElement(env, array, i, item);
        (*env)->DeleteLocalRef(env, item);
    }
    return array;
}

} // namespace kanne
