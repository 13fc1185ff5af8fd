#include "instance/SingleInstance.h"

#include "launcher/Configuration.h"
#include "launcher/Launcher.h"
#include "platform/SystemLibrary.h"
#include "vm/JavaText.h"

#include <cstring>
#include <memory>

namespace kanne {

namespace {

// The window manager's thread-message calls, loaded only in single-instance mode.
struct ThreadMessages {
    using Register = UINT(WINAPI*)(LPCSTR);
    using Post = BOOL(WINAPI*)(DWORD, UINT, WPARAM, LPARAM);
    using Get = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
    using Peek = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT, UINT);

    Register registerMessage = systemEntry<Register>("user32.dll", "RegisterWindowMessageA");
    Post post = systemEntry<Post>("user32.dll", "PostThreadMessageA");
    Get get = systemEntry<Get>("user32.dll", "GetMessageA");
    Peek peek = systemEntry<Peek>("user32.dll", "PeekMessageA");

    bool available() const { return registerMessage && post && get && peek; }
};

const ThreadMessages& threadMessages()
{
    static const ThreadMessages calls;
    return calls;
}

// Posted by the main thread once the VM exists.
constexpr UINT vmRunningMessage = WM_APP + 1;
// How long a later start waits for its turn, and then for the first instance
// to take its arguments: long enough for a burst of starts, never forever.
constexpr DWORD turnTimeout = 15000;
constexpr DWORD takeTimeout = 5000;

bool remainingUntil(DWORD deadline, DWORD& remaining)
{
    auto left = static_cast<int>(deadline - GetTickCount());
    remaining = left > 0 ? static_cast<DWORD>(left) : 0;
    return left > 0;
}

} // namespace

struct SingleInstanceChannel::Delivery {
    SingleInstanceChannel* channel;
    std::vector<StringList> lists; // called one after another, in order
};

bool SingleInstanceChannel::setUp(Launcher& launcher)
{
    launcher_ = &launcher;
    std::string ini;
    if (!iniFilePath(launcher.splashWindow, ini))
        return false;
    if (readSetting(ini, sectionApplication, "Application Type") == "service")
        return true;
    if (readSetting(ini, sectionApplication, "Single Instance") != "yes")
        return true;
    std::string executable;
    if (!modulePath(launcher.splashWindow, executable) || !threadMessages().available())
        return true;
    const std::string name = instanceNameFor(executable);
    launcher.singleInstance = true;

    senderLock_.reset(CreateMutexA(nullptr, FALSE, (name + "|sender").c_str()));
    takenEvent_.reset(CreateEventA(nullptr, FALSE, FALSE, (name + "|taken").c_str()));
    refusedEvent_.reset(CreateEventA(nullptr, FALSE, FALSE, (name + "|refused").c_str()));
    instanceMapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(InstanceBlock), name.c_str()));
    launcher.isFirstInstance = instanceMapping_ && GetLastError() == 0;
    if (instanceMapping_)
        view_.reset(MapViewOfFile(instanceMapping_.get(), FILE_MAP_WRITE, 0, 0, 0));
    instanceBlock_ = static_cast<InstanceBlock*>(view_.get());
    if (!instanceBlock_ || !senderLock_ || !takenEvent_ || !refusedEvent_) {
        // Without the block or its signals this start runs on its own.
        launcher.singleInstance = false;
        return true;
    }
    if (launcher.isFirstInstance) {
        if (!startListening(name))
            launcher.singleInstance = false;
        return true;
    }
    return handOver(launcher.arguments, name);
}

bool SingleInstanceChannel::startListening(const std::string& name)
{
    messageId_ = threadMessages().registerMessage(name.c_str());
    if (messageId_ == 0)
        return false;
    instanceBlock_->messageId = messageId_;
    listenerThread_.reset(CreateThread(nullptr, 0, listenerThreadProc, this, 0,
                                       reinterpret_cast<DWORD*>(&instanceBlock_->listenerThreadId)));
    if (!listenerThread_)
        return false;
    listenerThreadId_ = GetThreadId(listenerThread_.get());
    return true;
}

bool SingleInstanceChannel::handOver(const StringList& arguments, const std::string&)
{
    char area[InstanceBlock::argumentAreaSize];
    if (!packArguments(arguments, area))
        return false;

    // One later start at a time writes the area and waits until the first
    // instance has taken it, so a burst of starts loses nothing.
    DWORD remaining = 0;
    DWORD turn = WaitForSingleObject(senderLock_.get(), turnTimeout);
    if (turn != WAIT_OBJECT_0 && turn != WAIT_ABANDONED)
        return false;
    WaitForSingleObject(takenEvent_.get(), 0); // a late answer to an earlier start
    WaitForSingleObject(refusedEvent_.get(), 0);
    std::memcpy(instanceBlock_->argumentArea, area, sizeof area);

    // The listener may not exist yet or not yet have its queue: try again
    // for a while.
    const DWORD deadline = GetTickCount() + takeTimeout;
    bool posted = false;
    while (!posted && remainingUntil(deadline, remaining)) {
        DWORD listener = instanceBlock_->listenerThreadId;
        posted = listener != 0 && threadMessages().post(listener, instanceBlock_->messageId, 0, 0);
        if (!posted)
            Sleep(10);
    }
    DWORD answer = WAIT_TIMEOUT;
    if (posted && remainingUntil(deadline, remaining)) {
        HANDLE answers[] = {takenEvent_.get(), refusedEvent_.get()};
        answer = WaitForMultipleObjects(2, answers, FALSE, remaining);
    }
    ReleaseMutex(senderLock_.get());
    return answer == WAIT_OBJECT_0;
}

DWORD WINAPI SingleInstanceChannel::listenerThreadProc(void* channel)
{
    static_cast<SingleInstanceChannel*>(channel)->runListener();
    return 0;
}

void SingleInstanceChannel::runListener()
{
    const ThreadMessages& calls = threadMessages();
    MSG message;
    calls.peek(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the queue exists from now on
    while (calls.get(&message, nullptr, 0, 0) > 0) {
        if (message.message == vmRunningMessage) {
            if (!held_.empty())
                deliver(std::move(held_));
            held_.clear();
            continue;
        }
        if (message.message != messageId_)
            continue;
        // Copied at once, so the next start may write the area as soon as it
        // is told. The header is restored too, whoever wrote the block.
        char area[InstanceBlock::argumentAreaSize];
        std::memcpy(area, const_cast<const char*>(instanceBlock_->argumentArea), sizeof area);
        instanceBlock_->listenerThreadId = listenerThreadId_;
        instanceBlock_->messageId = messageId_;
        StringList arguments = unpackArguments(area);

        VmState state;
        {
            CriticalSection::Lock lock(vmLock_);
            state = vmState_;
        }
        if (state == VmState::Gone) {
            SetEvent(refusedEvent_.get());
            continue;
        }
        SetEvent(takenEvent_.get());
        if (state == VmState::Running)
            deliver({std::move(arguments)});
        else
            held_.push_back(std::move(arguments));
    }
}

void SingleInstanceChannel::deliver(std::vector<StringList> lists)
{
    // The worker owns its delivery and runs on its own; the VM waits for it at its end.
    auto delivery = std::make_unique<Delivery>(Delivery{this, std::move(lists)});
    KernelHandle worker(CreateThread(nullptr, 0, workerThreadProc, delivery.get(), 0, nullptr));
    if (worker)
        delivery.release();
}

DWORD WINAPI SingleInstanceChannel::workerThreadProc(void* parameter)
{
    std::unique_ptr<Delivery> owned(static_cast<Delivery*>(parameter));
    const Delivery& delivery = *owned;
    SingleInstanceChannel& channel = *delivery.channel;
    Launcher& launcher = *channel.launcher_;
    JNIEnv* env = nullptr;
    bool attached = false;
    {
        // Attaching under the lock: the VM is either running, and then waits
        // for this (non-daemon) thread at its end, or already gone.
        CriticalSection::Lock lock(channel.vmLock_);
        attached = channel.vmState_ == VmState::Running &&
                   (*launcher.vm)->AttachCurrentThread(launcher.vm, reinterpret_cast<void**>(&env), nullptr) >= 0;
    }
    if (attached) {
        for (const StringList& arguments : delivery.lists) {
            ClassLookup outcome;
            jclass mainClass = findClassByName(env, launcher.mainClass, outcome);
            jmethodID secondaryMain =
                mainClass ? (*env)->GetStaticMethodID(env, mainClass, "secondaryMain", "([Ljava/lang/String;)V")
                          : nullptr;
            jobjectArray array = secondaryMain ? newJavaStringArray(env, arguments) : nullptr;
            if (array) {
                jvalue callArgs[1];
                callArgs[0].l = array;
                (*env)->CallStaticVoidMethodA(env, mainClass, secondaryMain, callArgs);
            }
            if ((*env)->ExceptionOccurred(env))
                (*env)->ExceptionDescribe(env);
        }
        (*launcher.vm)->DetachCurrentThread(launcher.vm);
    }
    return 0;
}

void SingleInstanceChannel::vmCreated()
{
    if (!listenerThread_)
        return;
    {
        CriticalSection::Lock lock(vmLock_);
        vmState_ = VmState::Running;
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (threadMessages().post(listenerThreadId_, vmRunningMessage, 0, 0))
            return;
        Sleep(1);
    }
}

void SingleInstanceChannel::vmDestroyed()
{
    CriticalSection::Lock lock(vmLock_);
    vmState_ = VmState::Gone;
}

void SingleInstanceChannel::close()
{
    if (listenerThread_) {
        // WM_QUIT also reaches a thread that has no queue yet, once it makes one.
        DWORD code = STILL_ACTIVE;
        while (GetExitCodeThread(listenerThread_.get(), &code) && code == STILL_ACTIVE) {
            threadMessages().post(listenerThreadId_, WM_QUIT, 0, 0);
            WaitForSingleObject(listenerThread_.get(), 10);
        }
        listenerThread_.reset();
    }
    instanceBlock_ = nullptr;
    view_.reset();
    instanceMapping_.reset();
}

} // namespace kanne
