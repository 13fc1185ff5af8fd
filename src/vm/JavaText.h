#pragma once
// Launcher text (the system's 8-bit code page) turned into Java strings.
#include "launcher/StringList.h"
#include "vm/Jni.h"

#include <string>
#include <string_view>

namespace kanne {

// The text as UTF-16, decoded from the system's ANSI code page.
std::u16string toUtf16(std::string_view text);

// A local reference to a new java/lang/String, or null (an exception may
// then be pending). The text is decoded here, not by the VM, whose default
// charset need not be the system's code page.
jstring newJavaString(JNIEnv* env, std::string_view text);

// How looking a class up by its launcher-text name went.
enum class ClassLookup { Found, NotConvertible, NoUtf, NotFound };

// The class named by 8-bit launcher text (with "/" separators), found through
// the VM's modified UTF-8 so that non-ASCII names work; null with `outcome`
// telling why, and any exception left pending.
jclass findClassByName(JNIEnv* env, const std::string& name, ClassLookup& outcome);

// A new String[] holding one string per element, in order, or null.
jobjectArray newJavaStringArray(JNIEnv* env, const StringList& items);

} // namespace kanne
