#pragma once
// Where the service lives. The build fixes both bases (https, no trailing slash); the
// environment variables TOVO_WEB_BASE and TOVO_FEED_BASE may point a run at a staging or local
// service, but only to an https URL or to plain http on a loopback host.

#include <QString>

namespace ServiceEndpoints {

QString webBase();  // e.g. "https://www.tovo.example": the web site and the sign-in endpoint
QString feedBase(); // the host that serves the alarm feed

} // namespace ServiceEndpoints
