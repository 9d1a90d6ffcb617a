<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AppsCommand</name>
    <message>
        <source>tallyglass: cannot read the settings %1: %2</source>
        <translation>tallyglass: die Einstellungen %1 lassen sich nicht lesen: %2</translation>
    </message>
    <message>
        <source>tallyglass: cannot read the system&apos;s TCP sockets.</source>
        <translation>tallyglass: die TCP-Sockets des Systems lassen sich nicht lesen.</translation>
    </message>
    <message>
        <source>tallyglass: cannot write the table: %1</source>
        <translation>tallyglass: die Tabelle lässt sich nicht schreiben: %1</translation>
    </message>
</context>
<context>
    <name>AppsWindow</name>
    <message>
        <source>Applications</source>
        <translation>Anwendungen</translation>
    </message>
    <message>
        <source>Traffic per application</source>
        <translation>Verkehr je Anwendung</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Heruntergeladen</translation>
    </message>
    <message>
        <source>Uploaded</source>
        <translation>Hochgeladen</translation>
    </message>
    <message>
        <source>Processes of the chosen application</source>
        <translation>Prozesse der gewählten Anwendung</translation>
    </message>
    <message>
        <source>PID</source>
        <translation>PID</translation>
    </message>
    <message>
        <source>Command line</source>
        <translation>Befehlszeile</translation>
    </message>
    <message>
        <source>Other traffic (UDP, other users, system)</source>
        <translation>Übriger Verkehr (UDP, andere Benutzer, System)</translation>
    </message>
    <message>
        <source>Counted: the TCP traffic of your own programs. UDP, other users&apos; and the system&apos;s traffic is other traffic, and so is a connection that opened and closed between two samples unless its program was seen.</source>
        <translation>Gezählt: der TCP-Verkehr Ihrer eigenen Programme. UDP, der Verkehr anderer Benutzer und des Systems sind übriger Verkehr, ebenso eine Verbindung, die zwischen zwei Messungen geöffnet und geschlossen wurde, wenn ihr Programm nicht gesehen wurde.</translation>
    </message>
    <message>
        <source>More was counted for programs than the monitored interfaces carried (loopback not monitored?): other traffic shows 0.</source>
        <translation>Für Programme wurde mehr gezählt, als die überwachten Schnittstellen übertragen haben (Loopback nicht überwacht?): der übrige Verkehr zeigt 0.</translation>
    </message>
    <message>
        <source>The system&apos;s TCP sockets cannot be read.</source>
        <translation>Die TCP-Sockets des Systems lassen sich nicht lesen.</translation>
    </message>
</context>
<context>
    <name>CColourComboBox</name>
    <message>
        <source>Custom...</source>
        <translation>Eigene Farbe …</translation>
    </message>
</context>
<context>
    <name>CCurlFtpSession</name>
    <message>
        <source>Could not resolve host %1: check the host name.</source>
        <translation>Der Host %1 wurde nicht gefunden: Prüfen Sie den Hostnamen.</translation>
    </message>
    <message>
        <source>Could not connect to %1 port %2: check the host name and the port, and that the server is running.</source>
        <translation>Keine Verbindung zu %1 an Port %2: Prüfen Sie Hostname und Port und ob der Server läuft.</translation>
    </message>
    <message>
        <source>The server refused the login (%1): check the user name and password.</source>
        <translation>Der Server hat die Anmeldung abgelehnt (%1): Prüfen Sie Benutzername und Passwort.</translation>
    </message>
    <message>
        <source>The server refused the login: check the user name and password.</source>
        <translation>Der Server hat die Anmeldung abgelehnt: Prüfen Sie Benutzername und Passwort.</translation>
    </message>
    <message>
        <source>Looking up host %1 took longer than %2: check the host name and the network.</source>
        <translation>Die Suche nach dem Host %1 dauerte länger als %2: Prüfen Sie den Hostnamen und das Netzwerk.</translation>
    </message>
    <message>
        <source>A file took longer than %1 to upload: check the network.</source>
        <translation>Das Hochladen einer Datei dauerte länger als %1: Prüfen Sie das Netzwerk.</translation>
    </message>
    <message>
        <source>The server did not answer within %1.</source>
        <translation>Der Server hat nicht innerhalb von %1 geantwortet.</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified: check the host name, and that the certificate is trusted on this computer.</source>
        <translation>Das Zertifikat von %1 konnte nicht überprüft werden: Prüfen Sie den Hostnamen und ob dem Zertifikat auf diesem Computer vertraut wird.</translation>
    </message>
    <message>
        <source>The server does not offer FTP over TLS: check the server, or leave &quot;ftps://&quot; out of the host name.</source>
        <translation>Der Server bietet kein FTP über TLS an: Prüfen Sie den Server oder lassen Sie „ftps://“ im Hostnamen weg.</translation>
    </message>
    <message>
        <source>The secure connection to %1 failed: check that the server offers FTP over TLS.</source>
        <translation>Die sichere Verbindung zu %1 ist fehlgeschlagen: Prüfen Sie, ob der Server FTP über TLS anbietet.</translation>
    </message>
    <message>
        <source>%1 port %2 did not answer as an FTP server: check the host name and the port.</source>
        <translation>%1 an Port %2 hat nicht wie ein FTP-Server geantwortet: Prüfen Sie Hostname und Port.</translation>
    </message>
    <message>
        <source>The connection to %1 broke off: the next upload tries again.</source>
        <translation>Die Verbindung zu %1 ist abgebrochen: Das nächste Hochladen versucht es erneut.</translation>
    </message>
    <message>
        <source>The server&apos;s data connection could not be opened: check the firewall and the server&apos;s passive mode.</source>
        <translation>Die Datenverbindung des Servers konnte nicht geöffnet werden: Prüfen Sie die Firewall und den passiven Modus des Servers.</translation>
    </message>
    <message>
        <source>The upload was cancelled.</source>
        <translation>Das Hochladen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The upload failed: error %1.</source>
        <translation>Das Hochladen ist fehlgeschlagen: Fehler %1.</translation>
    </message>
    <message>
        <source>The upload failed: %1.</source>
        <translation>Das Hochladen ist fehlgeschlagen: %1.</translation>
    </message>
    <message>
        <source>Could not start an FTP session.</source>
        <translation>Es konnte keine FTP-Sitzung gestartet werden.</translation>
    </message>
</context>
<context>
    <name>CDesktopIntegration</name>
    <message>
        <source>HEllo there</source>
        <translation>Hallo</translation>
    </message>
    <message>
        <source>Down: %1
Up: %2</source>
        <translation>Download: %1
Upload: %2</translation>
    </message>
    <message>
        <source>Capwarden</source>
        <translation>Capwarden</translation>
    </message>
</context>
<context>
    <name>CGraphFrame</name>
    <message>
        <source>Initialization has failed.</source>
        <translation>Die Initialisierung ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
</context>
<context>
    <name>CGraphWindow</name>
    <message>
        <source>could not create device context.</source>
        <translation>Der Gerätekontext konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source> Could no create a rendering context.</source>
        <translation>Es konnte kein Rendering-Kontext erstellt werden.</translation>
    </message>
    <message>
        <source>Could not activate a rendering context.</source>
        <translation>Der Rendering-Kontext konnte nicht aktiviert werden.</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>The hourly history could not be read; it was kept as %1 and a new one started.</source>
        <translation>Der stündliche Verlauf konnte nicht gelesen werden; er wurde als %1 aufbewahrt und ein neuer begonnen.</translation>
    </message>
    <message>
        <source>Tallyglass&apos;s hourly history</source>
        <translation>Stündlicher Verlauf von Tallyglass</translation>
    </message>
    <message>
        <source>The hourly history %1 was written by a newer version of Tallyglass; it is left as it is and this run keeps no hourly figures.</source>
        <translation>Der stündliche Verlauf %1 wurde von einer neueren Version von Tallyglass geschrieben; er bleibt unverändert, und dieser Lauf zeichnet keine Stundenwerte auf.</translation>
    </message>
</context>
<context>
    <name>CSaveFailureAlert</name>
    <message>
        <source>Tallyglass cannot save its data</source>
        <translation>Tallyglass kann seine Daten nicht speichern</translation>
    </message>
</context>
<context>
    <name>CSaveFailureNotice</name>
    <message>
        <source>Cannot save %1 in %2: %3. The meter keeps running, but its figures are not kept until saving works again.</source>
        <translation>%1 kann nicht in %2 gespeichert werden: %3. Tallyglass misst weiter, behält seine Werte aber erst wieder, wenn das Speichern gelingt.</translation>
    </message>
</context>
<context>
    <name>CStatisticsChart</name>
    <message>
        <source>Up</source>
        <comment>chart legend</comment>
        <translation>Hochgeladen</translation>
    </message>
    <message>
        <source>Down</source>
        <comment>chart legend</comment>
        <translation>Heruntergeladen</translation>
    </message>
</context>
<context>
    <name>CToolMenu</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Stoppuhr</translation>
    </message>
    <message>
        <source>Capwarden</source>
        <translation>Capwarden</translation>
    </message>
    <message>
        <source>WebStats</source>
        <translation>WebStats</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Anwendungen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>CTrafficApp</name>
    <message>
        <source>cannot open the meter&apos;s socket (%1): later starts and status clients cannot reach this meter.</source>
        <translation>der Socket des Messgeräts kann nicht geöffnet werden (%1): spätere Starts und Statusabfragen erreichen dieses Messgerät nicht.</translation>
    </message>
</context>
<context>
    <name>CTrafficQuota</name>
    <message>
        <source>Download has passed its limit of %1: %2 used.</source>
        <translation>Der Download hat sein Limit von %1 überschritten: %2 verbraucht.</translation>
    </message>
    <message>
        <source>Upload has passed its limit of %1: %2 used.</source>
        <translation>Der Upload hat sein Limit von %1 überschritten: %2 verbraucht.</translation>
    </message>
    <message>
        <source>Total traffic has passed its limit of %1: %2 used.</source>
        <translation>Der gesamte Datenverkehr hat sein Limit von %1 überschritten: %2 verbraucht.</translation>
    </message>
</context>
<context>
    <name>CWarningOverlay</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>CapwardenWindow</name>
    <message>
        <source>Capwarden</source>
        <translation>Capwarden</translation>
    </message>
    <message>
        <source>Traffic Limits</source>
        <translation>Datenlimits</translation>
    </message>
    <message>
        <source>Limit total traffic</source>
        <translation>Gesamten Datenverkehr begrenzen</translation>
    </message>
    <message>
        <source>Allowed Traffic:</source>
        <translation>Erlaubtes Volumen:</translation>
    </message>
    <message>
        <source>Limit upload and download separately</source>
        <translation>Download und Upload getrennt begrenzen</translation>
    </message>
    <message>
        <source>Allowed Download:</source>
        <translation>Erlaubter Download:</translation>
    </message>
    <message>
        <source>Allowed Upload:</source>
        <translation>Erlaubter Upload:</translation>
    </message>
    <message>
        <source>Current Period</source>
        <translation>Aktueller Zeitraum</translation>
    </message>
    <message>
        <source>Downloaded:</source>
        <translation>Heruntergeladen:</translation>
    </message>
    <message>
        <source>Uploaded:</source>
        <translation>Hochgeladen:</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Gesamt:</translation>
    </message>
    <message>
        <source>Percent of quota used</source>
        <translation>Verbrauchter Anteil des Kontingents</translation>
    </message>
    <message>
        <source>Download:</source>
        <translation>Download:</translation>
    </message>
    <message>
        <source>Upload:</source>
        <translation>Upload:</translation>
    </message>
    <message>
        <source>Activate Capwarden</source>
        <translation>Capwarden aktivieren</translation>
    </message>
    <message>
        <source>Monthly reset day</source>
        <translation>Monatlicher Stichtag</translation>
    </message>
    <message>
        <source>Next period begins:</source>
        <translation>Nächster Zeitraum beginnt:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Not a valid integer</source>
        <translation>Keine gültige ganze Zahl</translation>
    </message>
    <message>
        <source>Please enter a valid number</source>
        <translation>Bitte geben Sie eine gültige Zahl ein</translation>
    </message>
    <message>
        <source>Please enter a valid whole number</source>
        <translation>Bitte geben Sie eine gültige ganze Zahl ein</translation>
    </message>
    <message>
        <source>Number out of range</source>
        <translation>Zahl außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Please enter a smaller number</source>
        <translation>Bitte geben Sie eine kleinere Zahl ein</translation>
    </message>
    <message>
        <source>Missing selection</source>
        <translation>Fehlende Auswahl</translation>
    </message>
    <message>
        <source>Please choose to monitor the total network traffic or download and upload separately</source>
        <translation>Bitte wählen Sie, ob der gesamte Datenverkehr oder Download und Upload getrennt überwacht werden sollen</translation>
    </message>
    <message>
        <source>Resetting traffic counters</source>
        <translation>Datenverkehrszähler zurücksetzen</translation>
    </message>
    <message>
        <source>Reset all traffic counters?</source>
        <translation>Alle Datenverkehrszähler zurücksetzen?</translation>
    </message>
</context>
<context>
    <name>Colours</name>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
    <message>
        <source>Grey</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Cyan</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fuchsia</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Tallyglass, a network-traffic meter.</source>
        <translation>Tallyglass, ein Messgerät für den Netzwerkverkehr.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Die Version anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Keep the data files in &lt;dir&gt; (as $TALLYGLASS_DATA_DIR does).</source>
        <translation>Die Datendateien in &lt;dir&gt; aufbewahren (wie $TALLYGLASS_DATA_DIR).</translation>
    </message>
    <message>
        <source>Print the recorded days as &lt;format&gt; (csv or json) and exit.</source>
        <translation>Die aufgezeichneten Tage als &lt;format&gt; (csv oder json) ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Print the running meter&apos;s speeds and totals as one line of text, or of JSON for panels (waybar), and exit. --status alone is --status=text.</source>
        <translation>Geschwindigkeiten und Summen des laufenden Tallyglass als eine Zeile Text oder JSON für Leisten (waybar) ausgeben und beenden. --status allein ist --status=text.</translation>
    </message>
    <message>
        <source>With --status: print a line after every sample until the meter ends.</source>
        <translation>Mit --status: nach jeder Messung eine Zeile ausgeben, bis Tallyglass endet.</translation>
    </message>
    <message>
        <source>Print the quota&apos;s current period, its use and where it is heading, and exit.</source>
        <translation>Den aktuellen Zeitraum des Kontingents, den Verbrauch und die Hochrechnung ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <source>--data-dir needs a folder.</source>
        <translation>--data-dir braucht einen Ordner.</translation>
    </message>
    <message>
        <source>Unknown export format &apos;%1&apos;: use csv or json.</source>
        <translation>Unbekanntes Exportformat „%1“: Verwenden Sie csv oder json.</translation>
    </message>
    <message>
        <source>Unknown status format &apos;%1&apos;: use text or json.</source>
        <translation>Unbekanntes Statusformat „%1“: Verwenden Sie text oder json.</translation>
    </message>
    <message>
        <source>--export and --status cannot be asked for together.</source>
        <translation>--export und --status können nicht zusammen verlangt werden.</translation>
    </message>
    <message>
        <source>--follow goes with --status.</source>
        <translation>--follow gehört zu --status.</translation>
    </message>
    <message>
        <source>--quota prints something else than --export or --status: ask for one.</source>
        <translation>--quota gibt etwas anderes aus als --export oder --status: Verlangen Sie nur eines davon.</translation>
    </message>
    <message>
        <source>With --export: only the interface &lt;name&gt;, from the hourly history.</source>
        <translation>Mit --export: nur die Schnittstelle &lt;name&gt;, aus dem stündlichen Verlauf.</translation>
    </message>
    <message>
        <source>With --export: the hours of the hourly history, per interface.</source>
        <translation>Mit --export: die Stunden des stündlichen Verlaufs, je Schnittstelle.</translation>
    </message>
    <message>
        <source>Add the history that vnstat --json prints, read from &lt;file&gt; (- for standard input), to the data files and exit. The meter must not be running.</source>
        <translation>Den Verlauf, den vnstat --json ausgibt, aus &lt;file&gt; lesen (- für die Standardeingabe), den Datendateien hinzufügen und beenden. Der Zähler darf dabei nicht laufen.</translation>
    </message>
    <message>
        <source>--interface and --hourly go with --export.</source>
        <translation>--interface und --hourly gehören zu --export.</translation>
    </message>
    <message>
        <source>--interface needs an interface&apos;s name.</source>
        <translation>--interface braucht den Namen einer Schnittstelle.</translation>
    </message>
    <message>
        <source>--import-vnstat goes alone: not with --export, --status, --quota or --apps.</source>
        <translation>--import-vnstat steht allein: nicht mit --export, --status, --quota oder --apps.</translation>
    </message>
    <message>
        <source>--import-vnstat needs a file, or - for standard input.</source>
        <translation>--import-vnstat braucht eine Datei oder - für die Standardeingabe.</translation>
    </message>
    <message>
        <source>Watch your own programs&apos; network traffic, print it per application as a table or as JSON, and exit. Needs no meter. --apps alone is --apps=text.</source>
        <translation>Den Netzwerkverkehr der eigenen Programme beobachten, je Anwendung als Tabelle oder als JSON ausgeben und beenden. Braucht kein laufendes Messgerät. --apps allein ist --apps=text.</translation>
    </message>
    <message>
        <source>With --apps: watch for &lt;n&gt; seconds (%1 if not given).</source>
        <translation>Mit --apps: &lt;n&gt; Sekunden lang beobachten (ohne Angabe %1).</translation>
    </message>
    <message>
        <source>Unknown apps format &apos;%1&apos;: use text or json.</source>
        <translation>Unbekanntes Format &apos;%1&apos; für --apps: text oder json verwenden.</translation>
    </message>
    <message>
        <source>--apps prints something else than --export, --status or --quota: ask for one.</source>
        <translation>--apps gibt etwas anderes aus als --export, --status oder --quota: nur eines davon angeben.</translation>
    </message>
    <message>
        <source>--seconds goes with --apps.</source>
        <translation>--seconds gehört zu --apps.</translation>
    </message>
    <message>
        <source>--seconds needs a whole number from 1 to 3600.</source>
        <translation>--seconds braucht eine ganze Zahl von 1 bis 3600.</translation>
    </message>
</context>
<context>
    <name>DibLoader</name>
    <message>
        <source>Failed to open DIB file %1.
</source>
        <translation>Die DIB-Datei %1 konnte nicht geöffnet werden.
</translation>
    </message>
    <message>
        <source>Unknown DIB file format.</source>
        <translation>Unbekanntes DIB-Dateiformat.</translation>
    </message>
    <message>
        <source>Image file conversion error.</source>
        <translation>Fehler beim Umwandeln der Bilddatei.</translation>
    </message>
    <message>
        <source>Out of memory.</source>
        <translation>Nicht genügend Speicher.</translation>
    </message>
</context>
<context>
    <name>ExportCommand</name>
    <message>
        <source>tallyglass: the hourly history %1 is damaged and cannot be read; it is left as it is. Tallyglass keeps it aside and starts a new one when it next starts.</source>
        <translation>tallyglass: Der stündliche Verlauf %1 ist beschädigt und kann nicht gelesen werden; er bleibt unverändert. Tallyglass legt ihn beim nächsten Start beiseite und beginnt einen neuen.</translation>
    </message>
    <message>
        <source>tallyglass: cannot read the hourly history %1: %2</source>
        <translation>tallyglass: Der stündliche Verlauf %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>written by a newer version of Tallyglass</source>
        <translation>von einer neueren Version von Tallyglass geschrieben</translation>
    </message>
    <message>
        <source>tallyglass: the hourly history has no interface %1.</source>
        <translation>tallyglass: Der stündliche Verlauf kennt keine Schnittstelle %1.</translation>
    </message>
    <message>
        <source>tallyglass: the hourly history %1 could not be read to its end.</source>
        <translation>tallyglass: Der stündliche Verlauf %1 konnte nicht bis zum Ende gelesen werden.</translation>
    </message>
</context>
<context>
    <name>GraphTypes</name>
    <message>
        <source>Lines</source>
        <translation>Linien</translation>
    </message>
    <message>
        <source>Bars</source>
        <translation>Balken</translation>
    </message>
    <message>
        <source>Dial</source>
        <translation>Zeiger</translation>
    </message>
</context>
<context>
    <name>ImportCommand</name>
    <message>
        <source>standard input</source>
        <translation>die Standardeingabe</translation>
    </message>
    <message>
        <source>tallyglass: cannot read %1: %2</source>
        <translation>tallyglass: %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>tallyglass: %1 is vnStat&apos;s JSON of version %2: only version 2 (vnStat 2) can be read. Nothing was imported.</source>
        <translation>tallyglass: %1 ist JSON von vnStat in Version %2: nur Version 2 (vnStat 2) kann gelesen werden. Nichts wurde importiert.</translation>
    </message>
    <message>
        <source>tallyglass: %1 is not vnStat&apos;s JSON as expected (%2). Nothing was imported.</source>
        <translation>tallyglass: %1 ist nicht das erwartete JSON von vnStat (%2). Nichts wurde importiert.</translation>
    </message>
    <message>
        <source>tallyglass: %1 is not what vnstat --json prints. Nothing was imported.</source>
        <translation>tallyglass: %1 ist nicht, was vnstat --json ausgibt. Nichts wurde importiert.</translation>
    </message>
    <message>
        <source>tallyglass: Tallyglass is running with the data folder %1: quit it first, then import. Nothing was imported.</source>
        <translation>tallyglass: Tallyglass läuft mit dem Datenordner %1: erst beenden, dann importieren. Nichts wurde importiert.</translation>
    </message>
    <message>
        <source>tallyglass: cannot lock the data folder %1. Nothing was imported.</source>
        <translation>tallyglass: Der Datenordner %1 kann nicht gesperrt werden. Nichts wurde importiert.</translation>
    </message>
    <message>
        <source>tallyglass: cannot open %1: %2. Nothing was imported.</source>
        <translation>tallyglass: %1 kann nicht geöffnet werden: %2. Nichts wurde importiert.</translation>
    </message>
    <message>
        <source>tallyglass: cannot write %1: %2</source>
        <translation>tallyglass: %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Imported from vnStat: %1 interfaces, %2 hours added or changed in %3, %4 days added to %5.</source>
        <translation>Aus vnStat importiert: %1 Schnittstellen, %2 Stunden in %3 hinzugefügt oder geändert, %4 Tage zu %5 hinzugefügt.</translation>
    </message>
</context>
<context>
    <name>Months</name>
    <message>
        <source>January</source>
        <translation>Januar</translation>
    </message>
    <message>
        <source>February</source>
        <translation>Februar</translation>
    </message>
    <message>
        <source>March</source>
        <translation>März</translation>
    </message>
    <message>
        <source>April</source>
        <translation>April</translation>
    </message>
    <message>
        <source>May</source>
        <translation>Mai</translation>
    </message>
    <message>
        <source>June</source>
        <translation>Juni</translation>
    </message>
    <message>
        <source>July</source>
        <translation>Juli</translation>
    </message>
    <message>
        <source>August</source>
        <translation>August</translation>
    </message>
    <message>
        <source>September</source>
        <translation>September</translation>
    </message>
    <message>
        <source>October</source>
        <translation>Oktober</translation>
    </message>
    <message>
        <source>November</source>
        <translation>November</translation>
    </message>
    <message>
        <source>December</source>
        <translation>Dezember</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
</context>
<context>
    <name>ProjectionTexts</name>
    <message>
        <source>Projected download: %1</source>
        <translation>Hochgerechneter Download: %1</translation>
    </message>
    <message>
        <source>Projected upload: %1</source>
        <translation>Hochgerechneter Upload: %1</translation>
    </message>
    <message>
        <source>Projected: %1</source>
        <translation>Hochgerechnet: %1</translation>
    </message>
    <message>
        <source>Download quota: %1 used</source>
        <translation>Download-Kontingent: %1 verbraucht</translation>
    </message>
    <message>
        <source>Upload quota: %1 used</source>
        <translation>Upload-Kontingent: %1 verbraucht</translation>
    </message>
    <message>
        <source>Quota: %1 used</source>
        <translation>Kontingent: %1 verbraucht</translation>
    </message>
    <message>
        <source>Download quota: %1 used, %2 projected</source>
        <translation>Download-Kontingent: %1 verbraucht, %2 hochgerechnet</translation>
    </message>
    <message>
        <source>Upload quota: %1 used, %2 projected</source>
        <translation>Upload-Kontingent: %1 verbraucht, %2 hochgerechnet</translation>
    </message>
    <message>
        <source>Quota: %1 used, %2 projected</source>
        <translation>Kontingent: %1 verbraucht, %2 hochgerechnet</translation>
    </message>
    <message>
        <source>At this pace, download passes its limit of %1 around %2.</source>
        <translation>Bei diesem Tempo überschreitet der Download sein Limit von %1 etwa am %2.</translation>
    </message>
    <message>
        <source>At this pace, upload passes its limit of %1 around %2.</source>
        <translation>Bei diesem Tempo überschreitet der Upload sein Limit von %1 etwa am %2.</translation>
    </message>
    <message>
        <source>At this pace, total traffic passes its limit of %1 around %2.</source>
        <translation>Bei diesem Tempo überschreitet der gesamte Datenverkehr sein Limit von %1 etwa am %2.</translation>
    </message>
</context>
<context>
    <name>QuotaCommand</name>
    <message>
        <source>tallyglass: cannot read the quota %1: %2</source>
        <translation>tallyglass: das Kontingent %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>tallyglass: some lines of %1 could not be read; the meter takes them as their defaults.</source>
        <translation>tallyglass: einige Zeilen von %1 konnten nicht gelesen werden; das Messgerät nimmt für sie die Voreinstellungen.</translation>
    </message>
    <message>
        <source>tallyglass: the quota is off: switch it on in the Capwarden window.</source>
        <translation>tallyglass: das Kontingent ist aus: Schalten Sie es im Fenster Capwarden ein.</translation>
    </message>
    <message>
        <source>tallyglass: cannot read the history %1: %2</source>
        <translation>tallyglass: der Verlauf %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>tallyglass: cannot write the quota: %1</source>
        <translation>tallyglass: das Kontingent kann nicht ausgegeben werden: %1</translation>
    </message>
</context>
<context>
    <name>QuotaInput</name>
    <message>
        <source>%1st</source>
        <comment>day of the month: 1st, 21st</comment>
        <translation>%1.</translation>
    </message>
    <message>
        <source>%1nd</source>
        <comment>day of the month: 2nd, 22nd</comment>
        <translation>%1.</translation>
    </message>
    <message>
        <source>%1rd</source>
        <comment>day of the month: 3rd, 23rd</comment>
        <translation>%1.</translation>
    </message>
    <message>
        <source>%1th</source>
        <comment>day of the month: 4th, 11th</comment>
        <translation>%1.</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Graph</source>
        <translation>Diagramm</translation>
    </message>
    <message>
        <source>Colour Theme</source>
        <translation>Farbschema</translation>
    </message>
    <message>
        <source>Graph Type</source>
        <translation>Diagrammtyp</translation>
    </message>
    <message>
        <source>Graph Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Custom Colours</source>
        <translation>Eigene Farben</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Text </source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Background Top</source>
        <translation>Hintergrund oben</translation>
    </message>
    <message>
        <source>Background Bottom</source>
        <translation>Hintergrund unten</translation>
    </message>
    <message>
        <source>Scanline Effect</source>
        <translation>Rasterzeilen-Effekt</translation>
    </message>
    <message>
        <source>Show window caption</source>
        <translation>Fenstertitel anzeigen</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Start with current window dimensions</source>
        <translation>Mit der aktuellen Fenstergröße starten</translation>
    </message>
    <message>
        <source>Network Interfaces</source>
        <translation>Netzwerkschnittstellen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>tallyglass: could not write the login start entry %1</source>
        <translation>tallyglass: Der Autostart-Eintrag %1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>tallyglass: could not remove the login start entry %1</source>
        <translation>tallyglass: Der Autostart-Eintrag %1 konnte nicht entfernt werden</translation>
    </message>
    <message>
        <source>Tray icon</source>
        <translation>Tray-Symbol</translation>
    </message>
    <message>
        <source>traffic picture</source>
        <translation>Verkehrsbild</translation>
    </message>
    <message>
        <source>speeds</source>
        <translation>Geschwindigkeiten</translation>
    </message>
    <message>
        <source>Follow the desktop&apos;s light and dark</source>
        <translation>Hell und dunkel wie der Desktop</translation>
    </message>
    <message>
        <source>Light theme</source>
        <translation>Farbschema hell</translation>
    </message>
    <message>
        <source>Dark theme</source>
        <translation>Farbschema dunkel</translation>
    </message>
    <message>
        <source>Not available without a desktop portal.</source>
        <translation>Ohne Desktop-Portal nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>StatisticsLists</name>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Heruntergeladen</translation>
    </message>
    <message>
        <source>Uploaded</source>
        <translation>Hochgeladen</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>This Session</source>
        <translation>Diese Sitzung</translation>
    </message>
    <message>
        <source>Downloaded:</source>
        <translation>Heruntergeladen:</translation>
    </message>
    <message>
        <source>Uploaded:</source>
        <translation>Hochgeladen:</translation>
    </message>
    <message>
        <source>Since: %1</source>
        <translation>Seit %1</translation>
    </message>
    <message>
        <source>&amp;Interface:</source>
        <translation>&amp;Schnittstelle:</translation>
    </message>
    <message>
        <source>All monitored</source>
        <translation>Alle überwachten</translation>
    </message>
    <message>
        <source>%1 (excluded)</source>
        <translation>%1 (ausgeschlossen)</translation>
    </message>
</context>
<context>
    <name>StatusCommand</name>
    <message>
        <source>tallyglass: cannot write the status: %1</source>
        <translation>tallyglass: der Status kann nicht ausgegeben werden: %1</translation>
    </message>
    <message>
        <source>No Tallyglass meter is running for %1.</source>
        <translation>Für %1 läuft kein Tallyglass-Messgerät.</translation>
    </message>
    <message>
        <source>The Tallyglass meter running for %1 did not answer.</source>
        <translation>Das Tallyglass-Messgerät für %1 hat nicht geantwortet.</translation>
    </message>
    <message>
        <source>The Tallyglass meter running for %1 has ended.</source>
        <translation>Das Tallyglass-Messgerät für %1 hat sich beendet.</translation>
    </message>
</context>
<context>
    <name>Themes</name>
    <message>
        <source>XP Blue</source>
        <translation>XP Blau</translation>
    </message>
    <message>
        <source>XP Silver</source>
        <translation>XP Silber</translation>
    </message>
    <message>
        <source>XP Olive</source>
        <translation>XP Oliv</translation>
    </message>
    <message>
        <source>Sunset</source>
        <translation>Sonnenuntergang</translation>
    </message>
    <message>
        <source>Deep Blue</source>
        <translation>Tiefblau</translation>
    </message>
    <message>
        <source>Acid Green</source>
        <translation>Giftgrün</translation>
    </message>
    <message>
        <source>Red &amp; Blue</source>
        <translation>Rot &amp; Blau</translation>
    </message>
    <message>
        <source>Scarlet</source>
        <translation>Scharlachrot</translation>
    </message>
    <message>
        <source>Violet</source>
        <translation>Violett</translation>
    </message>
    <message>
        <source>Bubblegum</source>
        <translation>Kaugummi</translation>
    </message>
    <message>
        <source>Green LCD</source>
        <translation>LCD grün</translation>
    </message>
    <message>
        <source>Orange LCD</source>
        <translation>LCD orange</translation>
    </message>
    <message>
        <source>Red LCD</source>
        <translation>LCD rot</translation>
    </message>
    <message>
        <source>Khaki</source>
        <translation>Khaki</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Autumn</source>
        <translation>Herbst</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Turquoise</source>
        <translation>Türkis</translation>
    </message>
    <message>
        <source>Orange On Gray</source>
        <translation>Orange auf Grau</translation>
    </message>
    <message>
        <source>Burgundy</source>
        <translation>Burgunderrot</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Eigene Farben</translation>
    </message>
</context>
<context>
    <name>TimerWindow</name>
    <message>
        <source>Timer</source>
        <translation>Stoppuhr</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Heruntergeladen</translation>
    </message>
    <message>
        <source>Average download speed</source>
        <translation>Mittlere Geschwindigkeit</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Uploaded</source>
        <translation>Hochgeladen</translation>
    </message>
    <message>
        <source>Average upload speed</source>
        <translation>Mittlere Geschwindigkeit</translation>
    </message>
    <message>
        <source>Controls</source>
        <translation>Steuerung</translation>
    </message>
    <message>
        <source>Running time</source>
        <translation>Laufzeit</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Pause or resume</source>
        <translation>Anhalten oder fortsetzen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Stop and clear</source>
        <translation>Stoppen und zurücksetzen</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Gestoppt</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
</context>
<context>
    <name>UploadIntervals</name>
    <message numerus="yes">
        <source>%n seconds</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WebStatsUpload</name>
    <message>
        <source>The upload failed</source>
        <translation>Das Hochladen ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>The page has no valid file name: enter one in the WebStats window.</source>
        <translation>Die Seite hat keinen gültigen Dateinamen: Geben Sie im WebStats-Fenster einen ein.</translation>
    </message>
    <message>
        <source>Could not write the page file %1</source>
        <translation>Die Seitendatei %1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Uploaded stats page</source>
        <translation>Statistikseite hochgeladen</translation>
    </message>
    <message>
        <source>Could not upload the page. Check remote path value</source>
        <translation>Die Seite konnte nicht hochgeladen werden. Prüfen Sie den entfernten Pfad</translation>
    </message>
</context>
<context>
    <name>WebStatsWindow</name>
    <message>
        <source>WebStats</source>
        <translation>WebStats</translation>
    </message>
    <message>
        <source>Login Info</source>
        <translation>Anmeldedaten</translation>
    </message>
    <message>
        <source>Hostname: (e.g. &quot;ftp.example.com&quot;)</source>
        <translation>Hostname: (z. B. „ftp.example.com“)</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>WebStats HTML file</source>
        <translation>WebStats-HTML-Datei</translation>
    </message>
    <message>
        <source>Remote Path: (e.g. &quot;/myhomepage/&quot;)</source>
        <translation>Entfernter Pfad: (z. B. „/myhomepage/“)</translation>
    </message>
    <message>
        <source>File Name: (e.g. &quot;webstats.html&quot;)</source>
        <translation>Dateiname: (z. B. „webstats.html“)</translation>
    </message>
    <message>
        <source>Update interval</source>
        <translation>Aktualisierungsintervall</translation>
    </message>
    <message>
        <source>Enable WebStats</source>
        <translation>WebStats einschalten</translation>
    </message>
    <message>
        <source>Message Log</source>
        <translation>Meldungen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Disable WebStats</source>
        <translation>WebStats ausschalten</translation>
    </message>
    <message>
        <source>Empty Field</source>
        <translation>Leeres Feld</translation>
    </message>
    <message>
        <source>Please enter a hostname</source>
        <translation>Bitte geben Sie einen Hostnamen ein</translation>
    </message>
    <message>
        <source>Please enter a file name</source>
        <translation>Bitte geben Sie einen Dateinamen ein</translation>
    </message>
    <message>
        <source>Bad port number</source>
        <translation>Ungültige Portnummer</translation>
    </message>
    <message>
        <source>Please enter an integer between 0 and 65536</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen 0 und 65536 ein</translation>
    </message>
    <message>
        <source>Invalid Field</source>
        <translation>Ungültiges Feld</translation>
    </message>
    <message>
        <source>Please enter this field on one line</source>
        <translation>Bitte geben Sie dieses Feld in einer Zeile ein</translation>
    </message>
</context>
<context>
    <name>XDisplay</name>
    <message>
        <source>Tallyglass needs an X server or XWayland; DISPLAY is unset or unreachable (DISPLAY is unset).</source>
        <translation>Tallyglass braucht einen X-Server oder XWayland; DISPLAY ist nicht gesetzt oder nicht erreichbar (DISPLAY ist nicht gesetzt).</translation>
    </message>
    <message>
        <source>Tallyglass needs an X server or XWayland; DISPLAY is unset or unreachable (DISPLAY=&quot;%1&quot;).</source>
        <translation>Tallyglass braucht einen X-Server oder XWayland; DISPLAY ist nicht gesetzt oder nicht erreichbar (DISPLAY=&quot;%1&quot;).</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Tallyglass is already running with the data folder %1; its window is shown.</source>
        <translation>Tallyglass läuft bereits mit dem Datenordner %1; sein Fenster wird angezeigt.</translation>
    </message>
    <message>
        <source>Tallyglass is already running with the data folder %1, but it did not answer.</source>
        <translation>Tallyglass läuft bereits mit dem Datenordner %1, antwortet aber nicht.</translation>
    </message>
</context>
</TS>
