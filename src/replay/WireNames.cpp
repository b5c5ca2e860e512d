#include "replay/WireNames.h"

#include <utility>

#include "replay/ReplayTexts.h"

namespace scopewatch::replay {

namespace {

constexpr std::pair<uint16_t, const char*> kCommandNames[] = {
    {0x01, "ENUMSESSIONSREPLY"},
    {0x02, "ENUMSESSIONS"},
    {0x03, "ENUMPLAYERSREPLY"},
    {0x04, "ENUMPLAYER"},
    {0x05, "REQUESTPLAYERID"},
    {0x06, "REQUESTGROUPID"},
    {0x07, "REQUESTPLAYERREPLY"},
    {0x08, "CREATEPLAYER"},
    {0x09, "CREATEGROUP"},
    {0x0A, "PLAYERMESSAGE"},
    {0x0B, "DELETEPLAYER"},
    {0x0C, "DELETEGROUP"},
    {0x0D, "ADDPLAYERTOGROUP"},
    {0x0E, "DELETEPLAYERFROMGROUP"},
    {0x0F, "PLAYERDATACHANGED"},
    {0x10, "PLAYERNAMECHANGED"},
    {0x11, "GROUPDATACHANGED"},
    {0x12, "GROUPNAMECHANGED"},
    {0x13, "ADDFORWARDREQUEST"},
    {0x15, "PACKET"},
    {0x16, "PING"},
    {0x17, "PINGREPLY"},
    {0x18, "YOUAREDEAD"},
    {0x19, "PLAYERWRAPPER"},
    {0x1A, "SESSIONDESCCHANGED"},
    {0x1C, "CHALLENGE"},
    {0x1D, "ACCESSGRANTED"},
    {0x1E, "LOGONDENIED"},
    {0x1F, "AUTHERROR"},
    {0x20, "NEGOTIATE"},
    {0x21, "CHALLENGERESPONSE"},
    {0x22, "SIGNED"},
    {0x24, "ADDFORWARDREPLY"},
    {0x25, "ASK4MULTICAST"},
    {0x26, "ASK4MULTICASTGUARANTEED"},
    {0x27, "ADDSHORTCUTTOGROUP"},
    {0x28, "DELETEGROUPFROMGROUP"},
    {0x29, "SUPERENUMPLAYERSREPLY"},
    {0x2B, "KEYEXCHANGE"},
    {0x2C, "KEYEXCHANGEREPLY"},
    {0x2D, "CHAT"},
    {0x2E, "ADDFORWARD"},
    {0x2F, "ADDFORWARDACK"},
    {0x30, "PACKET2_DATA"},
    {0x31, "PACKET2_ACK"},
    {0x35, "IAMNAMESERVER"},
    {0x36, "VOICE"},
    {0x37, "MULTICASTDELIVERY"},
    {0x38, "CREATEPLAYERVERIFY"},
};

constexpr std::pair<uint32_t, const char*> kSessionFlagNames[] = {
    {0x1, "new players disabled"}, {0x4, "migrate host"},        {0x8, "no message id"},
    {0x20, "join disabled"},       {0x40, "keep-alive"},         {0x80, "no data messages"},
    {0x100, "secure server"},      {0x200, "private"},           {0x400, "password required"},
    {0x800, "multicast server"},   {0x1000, "client/server"},    {0x2000, "reliable protocol"},
    {0x4000, "no preserve order"}, {0x8000, "optimize latency"},
};

}  // namespace

std::string CommandName(uint16_t command) {
    for (const auto& [number, name] : kCommandNames) {
        if (number == command) {
            return name;
        }
    }
    return "command " + HexText(command);
}

std::string SessionFlagsText(uint32_t flags) {
    std::string text;
    uint32_t named = 0;
    for (const auto& [bit, name] : kSessionFlagNames) {
        if ((flags & bit) != 0) {
            text += (text.empty() ? "" : ", ") + std::string(name);
            named |= bit;
        }
    }
    if ((flags & ~named) != 0) {
        text += (text.empty() ? "" : ", ") + std::string("others ") + HexText(flags & ~named);
    }
    return text.empty() ? "none" : text;
}

}  // namespace scopewatch::replay
