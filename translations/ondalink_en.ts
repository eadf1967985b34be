<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutBox</name>
    <message>
        <source>net.ipv4.ping_group_range (unreadable)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>includes</source>
        <comment>the range includes the groups</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>leaves out</source>
        <comment>the range leaves out the groups</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ping: ICMP datagram socket, allowed by %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ping: raw ICMP socket (CAP_NET_RAW); %1 %2 this user&apos;s groups.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ping: not possible; %1 %2 this user&apos;s groups and the program lacks CAP_NET_RAW (see PING.md).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Ondalink NMS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ondalink NMS %1</source>
        <extracomment>%1 is the program&apos;s version.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network management station for the Ondalink audio link.

Element database:
%1

%2

Built with Qt %3, running on Qt %4.</source>
        <extracomment>%1 the database&apos;s path, %2 how the ping works here, %3 and %4 Qt versions.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EchoStatus</name>
    <message>
        <source>Success!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffer Too Small</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination Net Unreachable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination Host Unreachable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination Protocol Unreachable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination Port Unreachable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Resources</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad Option</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hardware Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packet Too Big</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Request Timed Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad Request</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TimeToLive Expired Transit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TimeToLive Expired Reassembly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameter Problem</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source Quench</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Option Too Big</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad Destination</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Negotiating IPSEC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General Failure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown Response</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ElementDatabase</name>
    <message>
        <source>There is no %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ElementExchange</name>
    <message>
        <source>the name &quot;%1&quot; is longer than 16 characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the name &quot;%1&quot; holds a character that cannot be stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a valid IPv4 address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ver &quot;%1&quot; is not a version number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a whole number from %3 to %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the MAC &quot;%1&quot; is not 12 hexadecimal digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the MAC is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the MAC %1 is listed on line %2 already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a quoted cell is not closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no header row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file holds more than %1 rows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the column &quot;%1&quot; is not a key of an element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the column &quot;%1&quot; is there twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no mac column</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cells where the header has %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the row is not UTF-8 text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the member &quot;%1&quot; is not part of an element list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no &quot;elements&quot; list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file holds more than %1 elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>element %1 is not an object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key of an element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the value of &quot;%1&quot; is not a text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>... and %1 more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; holds a character that cannot be stored</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ElementStatus</name>
    <message>
        <source>Silent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EventLog</name>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Ondalink NMS v.%1 - Korvalen Broadcast</source>
        <extracomment>The main window&apos;s title; %1 is the program&apos;s version.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>Korvalen Ondalink Manager</source>
        <extracomment>Title of every message box that names no title of its own.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Feedback is corrupted.</source>
        <extracomment>Second line of a message about a report whose contents are wrong.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save.</source>
        <extracomment>Second line: the configuration was not saved.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save this element info.</source>
        <extracomment>Second line: what an element reported was not stored.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <extracomment>Last line of a Yes/No question.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local database is empty.</source>
        <extracomment>First line when the element list is empty.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <extracomment>Title of the boxes that say the element list is empty.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvalen Ondalink NMS</source>
        <extracomment>Title of the box that says another copy of the program runs.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvalen Ondalink NMS is already running (check the icon in system tray)!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to use UDP port 2976: occupied.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Discovery</source>
        <extracomment>Title of the question before a discovery.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Performing an &apos;Auto Discovery&apos; will delete the local database in your computer
and create a new one, based on the Network Elements found (if any). </source>
        <extracomment>The line break and the blank at the end are part of the text.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The local database in your computer could not be recreated: %1</source>
        <extracomment>%1: why, as the system says it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Discovery has been stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The paging request could not be sent: %1.</source>
        <extracomment>%1: why, as the network says it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Network Element can answer. The previous database, if any, is kept as %1.</source>
        <extracomment>%1: the name of the file that keeps the previous database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error!</source>
        <extracomment>Title of the box that refuses to save what the panel shows.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send configuration</source>
        <extracomment>Title of the question before a configuration is sent.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This configuration will be sent to selected Network Element and
will also be saved to local database in your computer. </source>
        <extracomment>The line break and the blank at the end are part of the text.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for a response from Network Element has timed out!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The attenuation was sent, but the local database could not be written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio monitoring has been stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An error occured while retrieving &apos;%1&apos;:</source>
        <extracomment>%1: the caption of the field.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An error occured while saving &apos;%1&apos;:</source>
        <extracomment>%1: the caption of the field whose reported value differs from the one sent.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The response received does not match the selected element.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data stored in your computer about this element, is corrupted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The local database could not be written: %1</source>
        <extracomment>%1: the path of the database file.
----------
%1: why.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration changed</source>
        <extracomment>Title of the box that confirms a saved configuration.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New configuration has been sucessfuly saved and loaded!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 more report gave the same message:</source>
        <extracomment>Followed by the lines of the repeated message.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 more reports gave the same message:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 more report failed as well; its message was:</source>
        <extracomment>Followed by the lines of the last message not shown.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 more reports failed as well; the last message was:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data stored in your computer about this element, is corrupted (1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot load this element info.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list of elements cannot be loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please click &apos;Auto Discover&apos; icon to probe the network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please click the &apos;Auto Discover&apos; icon to probe the network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ping failed</source>
        <extracomment>Title of the box that says the ping cannot start.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Windows Sockets not responding correctly.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add element by address</source>
        <extracomment>Title of the messages of Add element by address.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore previous database</source>
        <extracomment>Title of the messages of Restore previous database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import elements</source>
        <extracomment>Title of the messages of Import elements.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please type its MAC address, printed on the unit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The element was not added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing has been imported.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update from network</source>
        <extracomment>Title of the question before an update from the network.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Performing an &apos;Update from network&apos; will page the network and store or update the Network Elements that answer.
Elements that do not answer stay in the local database in your computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The local database in your computer could not be copied to %2: %1</source>
        <extracomment>%1: why, as the system says it; %2: the name of the file that keeps the previous database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update from network has been stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not the IPv4 address of a Network Element.</source>
        <extracomment>%1: the text typed.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please type an address such as 192.168.10.20.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a MAC address.</source>
        <extracomment>%1: the text typed.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please type its 12 hexadecimal digits, such as 00:1A:2B:3C:4D:5E.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Network Element at %1 is not on this network, so its MAC address cannot be found.</source>
        <extracomment>%1: the element&apos;s address.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The paging request could not be sent to %1 port %2: %3.</source>
        <extracomment>%1: address, %2: port, %3: why, as the network says it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from %1 port %2 within %3 s.</source>
        <extracomment>%1: address, %2: port, %3: seconds waited.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please check the address and that the element is on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no previous database to restore: %1 is missing.</source>
        <extracomment>%1: the name of the file that keeps the previous database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is kept by Auto Discovery, Update from network and Import.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the previous database back? %1 lists %2; the current %3 lists %4.</source>
        <extracomment>%1: the backup&apos;s file name, %2: how many elements it lists, %3: the database&apos;s file name, %4: how many it lists.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current database becomes the previous one, so that this can be undone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The previous database could not be restored: %1</source>
        <extracomment>%1: why.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing has been changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The elements could not be exported: %1</source>
        <extracomment>%1: why.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing has been written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export elements</source>
        <extracomment>Title of the box that confirms an export.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 exported to %2.</source>
        <extracomment>%1: how many elements, %2: the file&apos;s path.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be imported; nothing has been changed. Wrong rows:</source>
        <extracomment>%1: the file&apos;s name; the wrong rows follow, each with its line number.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace the local database (%1) with the %2 of %3?</source>
        <extracomment>%1: how many elements the database lists, %2: how many the file lists, %3: the file&apos;s name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current database is kept as %1.</source>
        <extracomment>%1: the name of the file that keeps the previous database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge the %1 of %2 into the local database?</source>
        <extracomment>%1: how many elements the file lists, %2: the file&apos;s name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elements of the same MAC address are replaced; the current database is kept as %1.</source>
        <extracomment>%1: the name of the file that keeps the previous database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duplicate IP</source>
        <extracomment>Title of the warning about elements that share an IP address.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Several elements have the same IP address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <extracomment>An element named in a message: %1 its name, %2 its MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element: %1</source>
        <extracomment>First line of the Save question&apos;s details; %1: the element, as its name and MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No field has been changed.</source>
        <extracomment>The Save question&apos;s details, when no field has been changed since the element was loaded.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed fields:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <extracomment>Title of the question before the shown element&apos;s unsaved changes would be lost.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.</source>
        <extracomment>%1: the element, as its name and MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save them to the element before going on?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Event log</source>
        <extracomment>Title of the box that says the event log&apos;s CSV was not written.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The events could not be saved in %1: %2</source>
        <extracomment>%1: the file&apos;s path, %2: why.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 uses it. One program per computer talks to the elements: stop that one first (the service: systemctl stop ondalink-nmsd).</source>
        <extracomment>%1 names the program, its process and its user.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace element</source>
        <extracomment>Title of the questions and warnings of replacing a failed element by a spare.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has confirmed the configuration of %2.</source>
        <extracomment>%1: the spare, as its name and MAC; %2: the failed element, as its name and MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove %1 from the local database? Its history goes with %2.</source>
        <extracomment>%1: the failed element, as its name and MAC; %2: the spare.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 did not confirm the configuration of %2.</source>
        <extracomment>%1: the spare, as its name and MAC; %2: the failed element, as its name and MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing has been removed from the local database.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration history</source>
        <extracomment>Title of the boxes about an element&apos;s configuration history.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The configuration history of %1 could not be read: %2</source>
        <extracomment>%1: the element&apos;s MAC, %2: why.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The history could not be saved in %1: %2</source>
        <extracomment>%1: the file&apos;s path, %2: why.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Phrase</name>
    <message>
        <source>Element Name</source>
        <extracomment>A field&apos;s caption, named in messages.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element Mask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element GW</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remote IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio Input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio TX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TX Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element MAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Network Element selected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please verify that all audio fields are correct!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please verify that the name field is correct!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please verify that all IP fields are correct!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The local database in your computer, is corrupted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No IP address is stored for the selected Network Element.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The IP address stored for the selected Network Element is not valid: &quot;%1&quot;.</source>
        <extracomment>%1: the stored text.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The IP address stored for the selected Network Element is not a unicast address: %1.</source>
        <extracomment>%1: the stored address.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The network refused the datagram to %1 port %2: %3.</source>
        <extracomment>%1: address, %2: port, %3: why, as the system says it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the UDP port is not open</source>
        <extracomment>Completes &quot;The paging request could not be sent: %1.&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no network interface is up with an IPv4 address that can broadcast</source>
        <extracomment>Completes &quot;The paging request could not be sent: %1.&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IPv4 address</source>
        <extracomment>Completes &quot;The paging request could not be sent: %1.&quot;; %1: the configured destination.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <extracomment>%1: a path, %2: why, as the system says it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <extracomment>%1: a path, %2: why, as the system says it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file</source>
        <extracomment>Completes &quot;Cannot read %1: %2&quot; for a folder, a pipe or a device.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReachabilityMonitor</name>
    <message>
        <source>Status probes are not possible: this user may not send ICMP echoes. The package allows it through net.ipv4.ping_group_range or the CAP_NET_RAW capability of the program (see PING.md); until then every status stays Unknown.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Role</name>
    <message>
        <source>ENCODER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DECODER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UNKNOWN</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Units</name>
    <message>
        <source>%1dBFS</source>
        <extracomment>A level relative to full scale; %1 is a number, or &quot;-oo&quot; for no level.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1mS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mute</source>
        <comment>the attenuation at its lowest position</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1dBu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1Sec</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::AddElementDialog</name>
    <message>
        <source>Add element by address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The element is paged at this address and stored as it answers.
Behind a router its MAC address cannot be found: type the one printed on the unit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;IPv4 address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC address (optional)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Needed only when the element is not on this network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MAC address (optional):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::AlarmNotifier</name>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is offline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from %1 to %2 probes in a row.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is online again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 answers again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is silent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its audio level stayed below the silence threshold.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has audio again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its audio level is above the silence threshold again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its audio is no longer watched.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: settings changed on the element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not as stored: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::ConfigurationConsole</name>
    <message>
        <source>Configuration &amp;history…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every configuration stored for the element, and what each changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace with…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send a spare of the same role this element&apos;s configuration, then remove this one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export the configuration history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>replaces %1</source>
        <extracomment>The note of a history&apos;s replacement marker; %1: the failed element&apos;s MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::DatabaseCommands</name>
    <message>
        <source>&amp;Update from network...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add element by &amp;address...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Res&amp;tore previous database...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xport elements...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import elements...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>elements.csv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv);;JSON files (*.json)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::DiagnosticsFrame</name>
    <message>
        <source>Diagnostics:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Unknown&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio level:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio level meter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level polling interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ms</source>
        <extracomment>The level polling interval; %1 is a number of milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level polling interval: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Watch audio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Raise an alarm when this encoder&apos;s audio stays silent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ping response:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Interval:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::ElementListModel</name>
    <message>
        <source>Duplicate IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last seen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Round trip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drift</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::ElementTree</name>
    <message>
        <source>Select element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select element: (%1 items)</source>
        <extracomment>The caption above the element list; %1 is how many elements it shows.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;None&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the elements whose name, MAC or IP address contain the text (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watch audio</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::EventCoalescer</name>
    <message>
        <source>%1 more like this from other senders in the last minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 more like this from %2 in the last minute</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::EventLogDock</name>
    <message>
        <source>Event log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected element &amp;only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only the events of the element the panel shows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Severity:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Severity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All events</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warnings and alarms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alarms only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as &amp;CSV…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saves the events shown as a CSV file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Events</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save events as CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::EventLogModel</name>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Event</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detail</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::EventRecorder</name>
    <message>
        <source>Element stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Answered the discovery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report from %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration confirmed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration timed out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No report answered the configuration write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attenuation sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 element(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database not written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discovery started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no request sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 request(s) sent (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discovery ended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1; %2 answers, %3 stored, %4 refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monitoring on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monitoring off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alarm raised</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offline: %1 probes in a row unanswered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alarm cleared</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (was %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status probes not possible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silent: level below %1 dBFS for %2 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No longer watched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Datagrams dropped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in the last minute: the receive queue was full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update from network started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Did not answer the update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kept in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drift</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stored → reported: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drift cleared</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The element holds the stored settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drift accepted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The element&apos;s settings were stored</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::HistoryDialog</name>
    <message>
        <source>Discovery</source>
        <extracomment>How a configuration came to be stored: Auto Discovery found it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <extracomment>Update from network found it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Addition</source>
        <extracomment>Add element by address found it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirmed write</source>
        <extracomment>The element confirmed a configuration written to it.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accepted drift</source>
        <extracomment>The operator accepted the settings the element reported.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replacement</source>
        <extracomment>The element took over a failed element&apos;s configuration.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration history of %1</source>
        <extracomment>%1: the element, as its name and MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing has been stored for this element since its history began.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a version to see what it changed, or two to compare them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Versions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Origin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Differences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Older</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Newer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Send this version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send the element this version&apos;s settings, after the usual question</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export as CSV…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select one version, or two to compare.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The first version stored: nothing to compare it with.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Differences from %1 to %2:</source>
        <extracomment>%1 and %2: the times the two compared versions were stored.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No setting differs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Damaged lines of the history file skipped: %1.</source>
        <extracomment>%1: how many lines of the history file could not be read.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::ImportDialog</name>
    <message>
        <source>Import elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File to import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the file to import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The elements of the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Merge: add them, replacing elements of the same MAC address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace: the database holds them and nothing else</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every row is checked first: a file with a wrong row is not imported at all. The current database is kept as nms.ini.bak.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element lists (*.csv *.json);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::MainWindow</name>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discover elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start audio monitoring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop audio monitoring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <extracomment>A toolbar button&apos;s tooltip: %1 its text, %2 its shortcut.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Elements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About Ondalink NMS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element database: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ping element</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::PagingWindow</name>
    <message>
        <source>Paging network...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please wait a few seconds while paging the network...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 element found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 elements found</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::PanelPresenter</name>
    <message>
        <source>(empty)</source>
        <extracomment>An empty text field, in the list of changed fields.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(none)</source>
        <extracomment>A list with nothing selected, in the list of changed fields.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>checked</source>
        <extracomment>The SFN option&apos;s check box, in the list of changed fields.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unchecked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed; was %1</source>
        <extracomment>Tooltip of a changed field&apos;s caption; %1: the value the element was loaded with.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 → %3</source>
        <extracomment>A changed field in the Save question&apos;s details: %1 its caption, %2 the value as loaded, %3 the value to be sent.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::PingIndicator</name>
    <message>
        <source>Click to test ping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrying in %1 seconds...</source>
        <comment>the ping label while it waits to retry</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::PingPresenter</name>
    <message>
        <source>Unable to init sockets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ms</source>
        <extracomment>A ping&apos;s round-trip time in milliseconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Stopped&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrying in %1 seconds...</source>
        <comment>the ping label while it waits to retry</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::PropertiesPanel</name>
    <message>
        <source>&lt;Click to test&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Unknown&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0mS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a valid IPv4 address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2.5mS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element properties:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DSP version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max 16 chars</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not used by the element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not used by the element: this setting is neither sent nor stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VLAN Audio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left/Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MPX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Digital</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unicast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Multicast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto detect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Force internal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Force external</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence detector trigger level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence detector time countdown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio atten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0dBu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0Sec</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(changed)</source>
        <extracomment>After the panel&apos;s caption while a field has been changed and not saved.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The encoder this element is bound to, as the database records it. For reference only: a choice made here is neither sent to the element nor saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Audio source:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Audio atten:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System &amp;name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;System IP:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Networ&amp;k mask:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Gateway IP:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remote IP:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VLAN &amp;O&amp;&amp;M:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A&amp;udio:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffer si&amp;ze:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thresho&amp;ld:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ti&amp;meout:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio t&amp;ype:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;X type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Au&amp;dio routing:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;FN option:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Bounded to:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::RemoteElementName</name>
    <message>
        <source>Address of %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::ReplaceDialog</name>
    <message>
        <source>Replace %1</source>
        <extracomment>%1: the failed element, as its name and MAC.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No other element of this role is listed. Add the spare by address, or find it with Update from network, then replace.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The spare is sent the name, addresses and audio settings of %1 at its current address. %1 stays in the local database until the spare has confirmed them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Spare:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spare</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::Setting</name>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subnet mask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remote IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transmission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SFN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attenuation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence detector mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bounded to</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reachability</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Probe every element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probe interval in seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From 2 seconds to 1 hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probe &amp;interval:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probing not permitted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence alarm of watched encoders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> dBFS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence threshold in dBFS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silent &amp;below:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hold time in seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How long the level stays below the threshold before the alarm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hold time:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show alarms as &amp;desktop notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Compare each element&apos;s settings with the database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings comparison interval in minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From 1 minute to 24 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Co&amp;mpare every:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::StatusBarPresenter</name>
    <message>
        <source>Configuration sent to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration of %1 confirmed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration of %1 answered: not every field was saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration of %1 not confirmed: no answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attenuation of %1 set to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report from %1 refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database not written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update from network: %1 stored, %2 refused, %3 did not answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import: %1 stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous database restored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export: %1 written to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1  %2</source>
        <comment>the time of day, what the last action came to</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update from network: %1 stored, %2 refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discovery: %1 stored, %2 refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element %1 added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element not added: no answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element not added: its report was refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Element not added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ping %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elements: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::StatusBarView</name>
    <message>
        <source>Last action</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::StatusConsole</name>
    <message>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Event &amp;log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A&amp;ccept the element&apos;s settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Store the settings the element reported, in place of those in the database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send the stored co&amp;nfiguration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send the element the settings the database holds for it</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondalink::VUMeter</name>
    <message>
        <source>Audio level: the scale is in dB below full scale (dBFS); the marker holds the peak for 2 s; CLIP lights at full scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CLIP</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
