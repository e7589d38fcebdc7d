#include "shell/web.h"

#include "core/alert.h"
#include "platform/dialogs.h"

void go_to_URL(std::string url)
{
    if (url.size() > URL_LIMIT)
        __MACIBM_alert(0, "String too long!", url, "", "", ALERT_FATAL, "hl_string", 132);
    plat::open_url(url);
}
