#include "UpdateChannel.h"

#include <algorithm>
#include <mutex>

#include "PwdMessages.h"
#include "PwdStore.h"

namespace {

UINT Registered(std::once_flag& once, UINT& id, const char* name) noexcept {
    try {
        std::call_once(once, [&] { id = RegisterWindowMessageA(name); });
    } catch (...) {
    }
    return id;
}

void PublishRecordUpdate(const tagRECORD& record) {
    PbUpdateBlock block{1, 0, 0, &record};
    // Sent, not posted: the record lives on the store's stack.
    CPwdUpdateChannel::Instance().Publish(kPbEventRecordUpdated, kPbRecordUpdatedParam, LPARAM(&block));
}

}  // namespace

UINT PbUpdateMessage() noexcept {
    static std::once_flag once;
    static UINT id = 0;
    return Registered(once, id, "{ABADE736-AC86-4288-8C04-129E5E31FC80}-MvcUIDataUpdateMsgID");
}

UINT PbKeyDownMessage() noexcept {
    static std::once_flag once;
    static UINT id = 0;
    return Registered(once, id, "{80BAB206-376C-486b-AC95-B3C3254A0B60}-PNPB_GetKeyDownMsgID");
}

CPwdUpdateChannel& CPwdUpdateChannel::Instance() {
    static CPwdUpdateChannel channel;
    return channel;
}

void CPwdUpdateChannel::Subscribe(int event, HWND window) {
    auto& list = subscribers_[event];
    if (std::find(list.begin(), list.end(), window) == list.end()) list.push_back(window);
}

void CPwdUpdateChannel::Unsubscribe(int event, HWND window) {
    auto it = subscribers_.find(event);
    if (it == subscribers_.end()) return;
    it->second.erase(std::remove(it->second.begin(), it->second.end(), window), it->second.end());
}

void CPwdUpdateChannel::UnsubscribeAll(HWND window) {
    for (auto& entry : subscribers_)
        entry.second.erase(std::remove(entry.second.begin(), entry.second.end(), window), entry.second.end());
}

int CPwdUpdateChannel::Publish(int event, WPARAM wp, LPARAM lp, bool post) {
    auto it = subscribers_.find(event);
    if (it == subscribers_.end()) return 0;
    // A copy: a subscriber may unsubscribe while it handles the message.
    std::vector<HWND> windows = it->second;
    int reached = 0;
    for (HWND w : windows) {
        if (!IsWindow(w)) continue;
        if (post)
            PostMessageA(w, PbUpdateMessage(), wp, lp);
        else
            SendMessageA(w, PbUpdateMessage(), wp, lp);
        ++reached;
    }
    return reached;
}

size_t CPwdUpdateChannel::SubscriberCount(int event) const {
    auto it = subscribers_.find(event);
    return it == subscribers_.end() ? 0 : it->second.size();
}

void ConnectStoreToUpdateChannel() { pnstore::SetUpdateNoticeSink(PublishRecordUpdate); }
