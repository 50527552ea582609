#pragma once
// One open alarm as the demo service publishes it in the feed.

#include <QString>

struct DemoAlarm {
    QString agent;
    QString resource;
    QString text;  // first line of the description, what a client shows
    QString more;  // second line, detail that clients cut off
    QString level; // "Critical", "Major", "Minor", "Resolved", "Okay" or "Closed"
    QString guid;
};
