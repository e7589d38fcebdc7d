#include "net/hooks.h"

#include "net/http.h"

namespace {

pref_proxy_fields http_proxy_fields()
{
    return {&http.proxy_host, &http.proxy_port, &http.proxy_port_int};
}

}

void net_fill_core_hooks(core_hooks& hooks)
{
    hooks.proxy_fields = http_proxy_fields;
}
