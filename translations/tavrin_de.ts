<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ActionWords</name>
    <message>
        <source>Saved.</source>
        <translation>Gespeichert.</translation>
    </message>
    <message>
        <source>Saved. New requests go to the built-in echo engine.</source>
        <translation>Gespeichert. Neue Anfragen gehen an die eingebaute Echo-Engine.</translation>
    </message>
    <message>
        <source>Saved. New requests go to the engine serving %1 at %2.</source>
        <translation>Gespeichert. Neue Anfragen gehen an die Engine, die %1 unter %2 bereitstellt.</translation>
    </message>
    <message>
        <source>Saved. Restart the server to apply.</source>
        <translation>Gespeichert. Starten Sie den Server neu, damit die Änderung wirksam wird.</translation>
    </message>
    <message>
        <source>Preamble saved. Future requests will include it.</source>
        <translation>Organisationsvorspann gespeichert. Künftige Anfragen enthalten ihn.</translation>
    </message>
    <message>
        <source>Preamble cleared.</source>
        <translation>Organisationsvorspann entfernt.</translation>
    </message>
    <message>
        <source>Promoted. Restart the server for the runtime to load the new model.</source>
        <translation>Übernommen. Starten Sie den Server neu, damit die Laufzeit das neue Modell lädt.</translation>
    </message>
    <message>
        <source>Rolled back. Restart the server for the runtime to load the previous model.</source>
        <translation>Zurückgerollt. Starten Sie den Server neu, damit die Laufzeit das vorherige Modell lädt.</translation>
    </message>
    <message>
        <source>Update found.</source>
        <translation>Aktualisierung gefunden.</translation>
    </message>
    <message>
        <source>Up to date.</source>
        <translation>Auf dem neuesten Stand.</translation>
    </message>
    <message>
        <source>Downloading… %1</source>
        <translation>Wird heruntergeladen… %1</translation>
    </message>
    <message>
        <source>Built-in echo engine</source>
        <translation>Eingebaute Echo-Engine</translation>
    </message>
    <message>
        <source>Audit log can&apos;t be written: requests are being refused.</source>
        <translation>Das Audit-Protokoll kann nicht geschrieben werden: Anfragen werden abgelehnt.</translation>
    </message>
    <message>
        <source> · answering</source>
        <translation> · antwortet</translation>
    </message>
    <message>
        <source> · not answering</source>
        <translation> · antwortet nicht</translation>
    </message>
    <message>
        <source>The engine stopped answering</source>
        <translation>Die Engine antwortet nicht mehr</translation>
    </message>
    <message>
        <source>%1 does not answer. %2Requests fail until it does.</source>
        <translation>%1 antwortet nicht. %2Anfragen schlagen fehl, bis sie wieder antwortet.</translation>
    </message>
</context>
<context>
    <name>AdminPasswordKeeper</name>
    <message>
        <source>A password of only spaces can&apos;t be used: the server ignores spaces at either end.</source>
        <translation>Ein Passwort nur aus Leerzeichen ist nicht möglich: Der Server ignoriert Leerzeichen am Anfang und am Ende.</translation>
    </message>
    <message>
        <source>An admin password needs %1 characters or more; this one has %2.</source>
        <translation>Ein Administratorpasswort braucht mindestens %1 Zeichen; dieses hat %2.</translation>
    </message>
    <message>
        <source>The panel is closing.</source>
        <translation>Das Bedienfeld wird geschlossen.</translation>
    </message>
</context>
<context>
    <name>CommandCatalogue</name>
    <message>
        <source>Ask for prompt contents too; the server adds them only while audit logging keeps them.</source>
        <translation>Auch Prompt-Inhalte anfordern; der Server fügt sie nur hinzu, solange die Audit-Protokollierung sie aufbewahrt.</translation>
    </message>
    <message>
        <source>Print the server&apos;s records as JSON, one document a line.</source>
        <translation>Die Datensätze des Servers als JSON ausgeben, ein Dokument pro Zeile.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Diese Hilfe anzeigen.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Erledigt.</translation>
    </message>
    <message>
        <source>The server refused, or the action failed; standard error says why, in the panel&apos;s words.</source>
        <translation>Der Server hat abgelehnt oder die Aktion ist fehlgeschlagen; die Standardfehlerausgabe nennt den Grund, mit den Worten des Bedienfelds.</translation>
    </message>
    <message>
        <source>The command line was not understood.</source>
        <translation>Die Befehlszeile wurde nicht verstanden.</translation>
    </message>
    <message>
        <source>No server answers.</source>
        <translation>Kein Server antwortet.</translation>
    </message>
    <message>
        <source>No admin password is set, or the server refused it (tavrinctl password set).</source>
        <translation>Kein Administratorpasswort ist festgelegt, oder der Server hat es abgelehnt (tavrinctl password set).</translation>
    </message>
    <message>
        <source>The server&apos;s state folder, which holds the admin.secret file; as for the panel and the server, it defaults to $XDG_DATA_HOME/Tavrin Server.</source>
        <translation>Der Zustandsordner des Servers, der die Datei admin.secret enthält; wie beim Bedienfeld und beim Server ist er standardmäßig $XDG_DATA_HOME/Tavrin Server.</translation>
    </message>
    <message>
        <source>The port of the admin API on 127.0.0.1, as for the server; 11434 when unset.</source>
        <translation>Der Port der Admin-API auf 127.0.0.1, wie beim Server; 11434, wenn nicht gesetzt.</translation>
    </message>
    <message>
        <source>Copy the bundle to FILE as well; &quot;-&quot; writes it to standard output instead.</source>
        <translation>Das Paket zusätzlich nach FILE kopieren; &quot;-&quot; schreibt es stattdessen auf die Standardausgabe.</translation>
    </message>
    <message>
        <source>Make a support bundle</source>
        <translation>Ein Support-Paket erstellen</translation>
    </message>
    <message>
        <source>Has the server zip its hardware summary, audit metadata and recent log output, and prints where the bundle is.</source>
        <translation>Lässt den Server seine Hardwareübersicht, die Metadaten des Audit-Protokolls und die letzten Protokollausgaben zippen und gibt aus, wo das Paket liegt.</translation>
    </message>
    <message>
        <source>Set the admin password</source>
        <translation>Das Administratorpasswort festlegen</translation>
    </message>
    <message>
        <source>Reads the new admin password from standard input (without echo on a terminal) and keeps it where the panel does: the keyring and the server&apos;s admin.secret file. It is never taken from the command line.</source>
        <translation>Liest das neue Administratorpasswort von der Standardeingabe (an einem Terminal ohne Anzeige) und bewahrt es dort auf, wo das Bedienfeld es tut: im Schlüsselbund und in der Datei admin.secret des Servers. Es wird nie von der Befehlszeile übernommen.</translation>
    </message>
    <message>
        <source>Forget the admin password</source>
        <translation>Das Administratorpasswort vergessen</translation>
    </message>
    <message>
        <source>Removes the admin password from the keyring and the admin.secret file.</source>
        <translation>Entfernt das Administratorpasswort aus dem Schlüsselbund und aus der Datei admin.secret.</translation>
    </message>
    <message>
        <source>Show the engine and whether it answers</source>
        <translation>Die Engine anzeigen und ob sie antwortet</translation>
    </message>
    <message>
        <source>Shows which engine the server&apos;s answers come from (the built-in echo engine or an OpenAI-compatible server), the name clients see, and whether it answered when last checked, with its last error.</source>
        <translation>Zeigt, von welcher Engine die Antworten des Servers kommen (der eingebauten Echo-Engine oder einem OpenAI-kompatiblen Server), den Namen, den Clients sehen, und ob sie bei der letzten Prüfung geantwortet hat, mit ihrem letzten Fehler.</translation>
    </message>
    <message>
        <source>The OpenAI-compatible server&apos;s base address, e.g. http://127.0.0.1:8080/v1.</source>
        <translation>Die Basisadresse des OpenAI-kompatiblen Servers, z. B. http://127.0.0.1:8080/v1.</translation>
    </message>
    <message>
        <source>The model to ask that server for.</source>
        <translation>Das Modell, das bei diesem Server angefragt wird.</translation>
    </message>
    <message>
        <source>The model name clients see; the model&apos;s own by default.</source>
        <translation>Der Modellname, den Clients sehen; standardmäßig der eigene Name des Modells.</translation>
    </message>
    <message>
        <source>A file of yours, mode 0600, holding that server&apos;s API key; &quot;&quot; for none.</source>
        <translation>Eine eigene Datei mit Modus 0600, die den API-Schlüssel dieses Servers enthält; &quot;&quot; für keinen.</translation>
    </message>
    <message>
        <source>How long one request may take.</source>
        <translation>Wie lange eine Anfrage dauern darf.</translation>
    </message>
    <message>
        <source>Answer with the built-in echo engine again.</source>
        <translation>Wieder mit der eingebauten Echo-Engine antworten.</translation>
    </message>
    <message>
        <source>Change the engine</source>
        <translation>Die Engine ändern</translation>
    </message>
    <message>
        <source>Puts an OpenAI-compatible server behind this one, or with --builtin the built-in echo engine back. Changes what is given and keeps the rest as the server holds it; the server makes the new engine before it saves, and a refusal leaves the engine in use serving. The key itself never leaves its file.</source>
        <translation>Stellt einen OpenAI-kompatiblen Server hinter diesen, oder mit --builtin wieder die eingebaute Echo-Engine. Ändert, was angegeben ist, und lässt den Rest, wie der Server ihn hält; der Server richtet die neue Engine ein, bevor er speichert, und bei einer Ablehnung bedient die bisherige Engine weiter. Der Schlüssel selbst verlässt nie seine Datei.</translation>
    </message>
    <message>
        <source>Send one tiny request through the engine</source>
        <translation>Eine winzige Anfrage durch die Engine schicken</translation>
    </message>
    <message>
        <source>Asks the engine in use to say hello and prints how long its first token and its whole answer took, then the answer.</source>
        <translation>Bittet die verwendete Engine, Hallo zu sagen, und gibt aus, wie lange ihr erstes Token und ihre ganze Antwort dauerten, danach die Antwort.</translation>
    </message>
    <message>
        <source>List the API keys</source>
        <translation>Die API-Schlüssel auflisten</translation>
    </message>
    <message>
        <source>Lists every API key: id, label, scopes, status, requests made and last use.</source>
        <translation>Listet jeden API-Schlüssel auf: ID, Bezeichnung, Bereiche, Status, gestellte Anfragen und letzte Verwendung.</translation>
    </message>
    <message>
        <source>What the key may do: inference (chat and generation) or readonly (list models). Repeat it for both; without it the server chooses.</source>
        <translation>Was der Schlüssel darf: inference (Chat und Generierung) oder readonly (Modelle auflisten). Für beides wiederholen; ohne die Option wählt der Server.</translation>
    </message>
    <message>
        <source>Make an API key</source>
        <translation>Einen API-Schlüssel erstellen</translation>
    </message>
    <message>
        <source>Makes an API key labelled LABEL and prints its secret alone on standard output, so that KEY=$(tavrinctl keys create ci) keeps it; a line about the key goes to standard error. The server shows a secret only once.</source>
        <translation>Erstellt einen API-Schlüssel mit der Bezeichnung LABEL und gibt sein Geheimnis allein auf der Standardausgabe aus, sodass KEY=$(tavrinctl keys create ci) es aufbewahrt; eine Zeile über den Schlüssel geht auf die Standardfehlerausgabe. Der Server zeigt ein Geheimnis nur einmal.</translation>
    </message>
    <message>
        <source>Revoke an API key</source>
        <translation>Einen API-Schlüssel widerrufen</translation>
    </message>
    <message>
        <source>Revokes the key whose id or exact label is KEY: it stops working at once and stays listed.</source>
        <translation>Widerruft den Schlüssel, dessen ID oder genaue Bezeichnung KEY ist: Er funktioniert sofort nicht mehr und bleibt aufgelistet.</translation>
    </message>
    <message>
        <source>Give an API key a new secret</source>
        <translation>Einem API-Schlüssel ein neues Geheimnis geben</translation>
    </message>
    <message>
        <source>Gives the key whose id or exact label is KEY a new secret, printed alone on standard output; the old secret stops working.</source>
        <translation>Gibt dem Schlüssel, dessen ID oder genaue Bezeichnung KEY ist, ein neues Geheimnis, das allein auf der Standardausgabe ausgegeben wird; das alte Geheimnis funktioniert nicht mehr.</translation>
    </message>
    <message>
        <source>Delete an API key</source>
        <translation>Einen API-Schlüssel löschen</translation>
    </message>
    <message>
        <source>Deletes the key whose id or exact label is KEY, for good.</source>
        <translation>Löscht den Schlüssel, dessen ID oder genaue Bezeichnung KEY ist, endgültig.</translation>
    </message>
    <message>
        <source>Show the running, staged and previous models</source>
        <translation>Das laufende, das bereitgestellte und die vorherigen Modelle anzeigen</translation>
    </message>
    <message>
        <source>Shows the model in production, a staged version ready to promote, and the earlier versions a rollback can return to.</source>
        <translation>Zeigt das Modell in Produktion, eine bereitgestellte Version, die übernommen werden kann, und die früheren Versionen, zu denen ein Zurückrollen zurückkehren kann.</translation>
    </message>
    <message>
        <source>Promote the staged model</source>
        <translation>Das bereitgestellte Modell übernehmen</translation>
    </message>
    <message>
        <source>Makes the staged model the production one; the server loads it when it restarts.</source>
        <translation>Macht das bereitgestellte Modell zum Produktionsmodell; der Server lädt es beim Neustart.</translation>
    </message>
    <message>
        <source>Return to the previous model</source>
        <translation>Zum vorherigen Modell zurückkehren</translation>
    </message>
    <message>
        <source>Brings the previous production model back; the server loads it when it restarts.</source>
        <translation>Holt das vorherige Produktionsmodell zurück; der Server lädt es beim Neustart.</translation>
    </message>
    <message>
        <source>Show whether the server runs, and how</source>
        <translation>Anzeigen, ob und wie der Server läuft</translation>
    </message>
    <message>
        <source>Shows the server&apos;s phase, version, uptime, endpoints, model and load, and whether it starts at login. Exits with 3 when no server answers and 4 when the admin password is missing or refused.</source>
        <translation>Zeigt Phase, Version, Laufzeit, Endpunkte, Modell und Last des Servers und ob er bei der Anmeldung startet. Endet mit 3, wenn kein Server antwortet, und mit 4, wenn das Administratorpasswort fehlt oder abgelehnt wird.</translation>
    </message>
    <message>
        <source>Start the server</source>
        <translation>Den Server starten</translation>
    </message>
    <message>
        <source>Starts the server as the Status tab does: the login service is restarted when start at login is on; otherwise the server starts for this session and keeps running after tavrinctl ends, and the next tavrinctl stop, or the panel, stops it. Waits a few seconds for it to answer.</source>
        <translation>Startet den Server wie der Reiter Status: Ist der Start bei der Anmeldung eingeschaltet, wird der Anmeldedienst neu gestartet; sonst startet der Server für diese Sitzung und läuft weiter, wenn tavrinctl endet, bis das nächste tavrinctl stop oder das Bedienfeld ihn stoppt. Wartet einige Sekunden auf seine Antwort.</translation>
    </message>
    <message>
        <source>Stop the server</source>
        <translation>Den Server stoppen</translation>
    </message>
    <message>
        <source>Stops the server, whichever way it runs. Start at login stays as it is.</source>
        <translation>Stoppt den Server, wie auch immer er läuft. Der Start bei der Anmeldung bleibt, wie er ist.</translation>
    </message>
    <message>
        <source>Stop the server, then start it again</source>
        <translation>Den Server stoppen und wieder starten</translation>
    </message>
    <message>
        <source>Stops the server and starts it again, as stop and start do; network changes take effect then.</source>
        <translation>Stoppt den Server und startet ihn wieder, wie stop und start es tun; Netzwerkänderungen werden dann wirksam.</translation>
    </message>
    <message>
        <source>Start the server at every login</source>
        <translation>Den Server bei jeder Anmeldung starten</translation>
    </message>
    <message>
        <source>Installs and enables the login service (a systemd user service), which starts the server now and at every login. Only an installation in /opt/tavrin-keldmarch can do this.</source>
        <translation>Installiert und aktiviert den Anmeldedienst (einen systemd-Benutzerdienst), der den Server jetzt und bei jeder Anmeldung startet. Nur eine Installation in /opt/tavrin-keldmarch kann das.</translation>
    </message>
    <message>
        <source>Stop starting the server at login</source>
        <translation>Den Server nicht mehr bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Turns start at login off; the login service&apos;s server stops with it.</source>
        <translation>Schaltet den Start bei der Anmeldung aus; der Server des Anmeldedienstes stoppt mit ihm.</translation>
    </message>
    <message>
        <source>Stop the server and remove the login service</source>
        <translation>Den Server stoppen und den Anmeldedienst entfernen</translation>
    </message>
    <message>
        <source>Stops the server and removes the login service from this user&apos;s systemd.</source>
        <translation>Stoppt den Server und entfernt den Anmeldedienst aus dem systemd dieses Benutzers.</translation>
    </message>
    <message>
        <source>Show the audit logging settings</source>
        <translation>Die Einstellungen der Audit-Protokollierung anzeigen</translation>
    </message>
    <message>
        <source>Shows the audit logging mode, how many days records are kept, and whether support bundles may carry prompt contents.</source>
        <translation>Zeigt den Modus der Audit-Protokollierung, wie viele Tage Einträge aufbewahrt werden und ob Support-Pakete Prompt-Inhalte enthalten dürfen.</translation>
    </message>
    <message>
        <source>none keeps nothing; privacy keeps metadata only; hash adds digests of prompts; audit keeps prompts and replies.</source>
        <translation>none bewahrt nichts auf; privacy bewahrt nur Metadaten auf; hash fügt Prüfsummen der Prompts hinzu; audit bewahrt Prompts und Antworten auf.</translation>
    </message>
    <message>
        <source>How many days audit records are kept.</source>
        <translation>Wie viele Tage Einträge des Audit-Protokolls aufbewahrt werden.</translation>
    </message>
    <message>
        <source>Whether support bundles may carry prompt contents.</source>
        <translation>Ob Support-Pakete Prompt-Inhalte enthalten dürfen.</translation>
    </message>
    <message>
        <source>Change the audit logging settings</source>
        <translation>Die Einstellungen der Audit-Protokollierung ändern</translation>
    </message>
    <message>
        <source>Changes the settings given and keeps the others as the server holds them.</source>
        <translation>Ändert die angegebenen Einstellungen und lässt die anderen, wie der Server sie hält.</translation>
    </message>
    <message>
        <source>Write the export to FILE, replacing it once complete; &quot;-&quot;, or no --output, writes standard output.</source>
        <translation>Den Export nach FILE schreiben und die Datei ersetzen, sobald er vollständig ist; &quot;-&quot; oder kein --output schreibt auf die Standardausgabe.</translation>
    </message>
    <message>
        <source>Export the audit log</source>
        <translation>Das Audit-Protokoll exportieren</translation>
    </message>
    <message>
        <source>Streams the usage records as CSV, or the audit log as JSON lines, as the server writes them. Prompt contents go into the JSON lines only. Shows its progress on a terminal when writing a file.</source>
        <translation>Überträgt die Nutzungseinträge als CSV oder das Audit-Protokoll als JSON-Zeilen, so wie der Server sie schreibt. Prompt-Inhalte gehen nur in die JSON-Zeilen. Zeigt beim Schreiben einer Datei den Fortschritt an einem Terminal.</translation>
    </message>
    <message>
        <source>Show the network settings</source>
        <translation>Die Netzwerkeinstellungen anzeigen</translation>
    </message>
    <message>
        <source>Shows whether the server listens on the local network, its host and port, its mDNS name, the CORS origins and the IP allowlist.</source>
        <translation>Zeigt, ob der Server im lokalen Netzwerk lauscht, seinen Host und Port, seinen mDNS-Namen, die CORS-Ursprünge und die IP-Positivliste.</translation>
    </message>
    <message>
        <source>on listens on every interface (0.0.0.0), off on this machine only (127.0.0.1).</source>
        <translation>on lauscht an jeder Schnittstelle (0.0.0.0), off nur auf diesem Rechner (127.0.0.1).</translation>
    </message>
    <message>
        <source>The address to listen on.</source>
        <translation>Die Adresse, an der gelauscht wird.</translation>
    </message>
    <message>
        <source>The port of the inference API.</source>
        <translation>Der Port der Inferenz-API.</translation>
    </message>
    <message>
        <source>The name announced over mDNS.</source>
        <translation>Der über mDNS angekündigte Name.</translation>
    </message>
    <message>
        <source>Announce no name.</source>
        <translation>Keinen Namen ankündigen.</translation>
    </message>
    <message>
        <source>The browser origins allowed to call the server (replaces the list; &quot;&quot; empties it).</source>
        <translation>Die Browser-Ursprünge, die den Server aufrufen dürfen (ersetzt die Liste; &quot;&quot; leert sie).</translation>
    </message>
    <message>
        <source>The client addresses allowed in (replaces the list; &quot;&quot; allows every one).</source>
        <translation>Die Client-Adressen, die zugelassen sind (ersetzt die Liste; &quot;&quot; lässt jede zu).</translation>
    </message>
    <message>
        <source>Change the network settings</source>
        <translation>Die Netzwerkeinstellungen ändern</translation>
    </message>
    <message>
        <source>Changes the settings given and keeps the others as the server holds them; the server applies them when it restarts.</source>
        <translation>Ändert die angegebenen Einstellungen und lässt die anderen, wie der Server sie hält; der Server übernimmt sie beim Neustart.</translation>
    </message>
    <message>
        <source>Print the org preamble</source>
        <translation>Den Organisationsvorspann ausgeben</translation>
    </message>
    <message>
        <source>Prints the instruction the server puts before every request, alone; nothing when there is none.</source>
        <translation>Gibt die Anweisung, die der Server jeder Anfrage voranstellt, allein aus; nichts, wenn es keine gibt.</translation>
    </message>
    <message>
        <source>Set the org preamble</source>
        <translation>Den Organisationsvorspann festlegen</translation>
    </message>
    <message>
        <source>Sets the org preamble to TEXT, or to what standard input holds when TEXT is &quot;-&quot;. White space at either end is dropped; the server&apos;s limit counts characters as typed.</source>
        <translation>Setzt den Organisationsvorspann auf TEXT oder, wenn TEXT &quot;-&quot; ist, auf den Inhalt der Standardeingabe. Leerraum am Anfang und am Ende wird entfernt; die Grenze des Servers zählt die Zeichen, wie sie eingegeben wurden.</translation>
    </message>
    <message>
        <source>Remove the org preamble</source>
        <translation>Den Organisationsvorspann entfernen</translation>
    </message>
    <message>
        <source>Removes the org preamble.</source>
        <translation>Entfernt den Organisationsvorspann.</translation>
    </message>
    <message>
        <source>Show the updater&apos;s state</source>
        <translation>Den Zustand der Aktualisierung anzeigen</translation>
    </message>
    <message>
        <source>Shows the running version, the channel, the last check, an available update and a downloaded one.</source>
        <translation>Zeigt die laufende Version, den Kanal, die letzte Prüfung, eine verfügbare und eine heruntergeladene Aktualisierung.</translation>
    </message>
    <message>
        <source>Check for a server update</source>
        <translation>Nach einer Serveraktualisierung suchen</translation>
    </message>
    <message>
        <source>Asks the server to read its update feed now.</source>
        <translation>Bittet den Server, seinen Aktualisierungs-Feed jetzt zu lesen.</translation>
    </message>
    <message>
        <source>Download and verify the update</source>
        <translation>Die Aktualisierung herunterladen und prüfen</translation>
    </message>
    <message>
        <source>Has the server download the available update and verify its signature. Installing it is left to you.</source>
        <translation>Lässt den Server die verfügbare Aktualisierung herunterladen und ihre Signatur prüfen. Die Installation bleibt Ihnen überlassen.</translation>
    </message>
    <message>
        <source>Delete the downloaded update</source>
        <translation>Die heruntergeladene Aktualisierung löschen</translation>
    </message>
    <message>
        <source>Deletes the update the server downloaded.</source>
        <translation>Löscht die Aktualisierung, die der Server heruntergeladen hat.</translation>
    </message>
</context>
<context>
    <name>CommandHelp</name>
    <message>
        <source>Every admin action of Tavrin Keldmarch from a terminal: the server, its login service, API keys, models, audit logging, network, org preamble, updates and support bundles, over the same admin API and with the same rules and messages as the panel.</source>
        <translation>Jede Verwaltungsaktion von Tavrin Keldmarch in einem Terminal: der Server, sein Anmeldedienst, API-Schlüssel, Modelle, Audit-Protokollierung, Netzwerk, Organisationsvorspann, Aktualisierungen und Support-Pakete, über dieselbe Admin-API und mit denselben Regeln und Meldungen wie das Bedienfeld.</translation>
    </message>
    <message>
        <source>The admin password is found where the panel keeps it: the admin.secret file of the server&apos;s state folder, then the keyring. It goes only to a server of this user&apos;s own, and is never taken from the command line.</source>
        <translation>Das Administratorpasswort wird dort gefunden, wo das Bedienfeld es aufbewahrt: in der Datei admin.secret im Zustandsordner des Servers, dann im Schlüsselbund. Es geht nur an einen Server dieses Benutzers und wird nie von der Befehlszeile übernommen.</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>Show the version.</source>
        <translation>Die Version anzeigen.</translation>
    </message>
    <message>
        <source>Usage: tavrinctl COMMAND [OPTIONS]</source>
        <extracomment>COMMAND and OPTIONS are placeholders the reader replaces; kept in capitals.</extracomment>
        <translation>Aufruf: tavrinctl COMMAND [OPTIONS]</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>Exit-Status:</translation>
    </message>
    <message>
        <source>Environment:</source>
        <translation>Umgebung:</translation>
    </message>
    <message>
        <source>Run &apos;tavrinctl COMMAND --help&apos; for what a command does and takes.</source>
        <translation>Mit &apos;tavrinctl COMMAND --help&apos; erfahren Sie, was ein Befehl tut und annimmt.</translation>
    </message>
    <message>
        <source>Usage: tavrinctl %1 COMMAND [OPTIONS]</source>
        <extracomment>%1 is a group of commands (&quot;keys&quot;); COMMAND and OPTIONS stay in capitals.</extracomment>
        <translation>Aufruf: tavrinctl %1 COMMAND [OPTIONS]</translation>
    </message>
    <message>
        <source>Run &apos;tavrinctl %1 COMMAND --help&apos; for what a command does and takes.</source>
        <translation>Mit &apos;tavrinctl %1 COMMAND --help&apos; erfahren Sie, was ein Befehl tut und annimmt.</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <extracomment>%1 is the command&apos;s synopsis (&quot;tavrinctl keys create LABEL [--scope inference|readonly]&quot;).</extracomment>
        <translation>Aufruf: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 or %2</source>
        <extracomment>The last of several choices: &quot;%1 or %2&quot; as in &quot;inference, readonly or none&quot;.</extracomment>
        <translation>%1 oder %2</translation>
    </message>
    <message>
        <source>%1 takes a whole number, not &quot;%2&quot;</source>
        <translation>%1 nimmt eine ganze Zahl, nicht &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 takes %2, not &quot;%3&quot;</source>
        <translation>%1 nimmt %2, nicht &quot;%3&quot;</translation>
    </message>
    <message>
        <source>no command &quot;%1&quot;</source>
        <translation>kein Befehl &quot;%1&quot;</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>which command?</source>
        <translation>welcher Befehl?</translation>
    </message>
    <message>
        <source>no command &quot;%1 %2&quot;</source>
        <translation>kein Befehl &quot;%1 %2&quot;</translation>
    </message>
    <message>
        <source>%1 what?</source>
        <translation>%1 was?</translation>
    </message>
    <message>
        <source>--%1 takes no value</source>
        <translation>--%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>--%1 needs a value (%2)</source>
        <translation>--%1 braucht einen Wert (%2)</translation>
    </message>
    <message>
        <source>--%1 is given twice</source>
        <translation>--%1 ist zweimal angegeben</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>%1 fehlt</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>unerwartetes Argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 is %2, not &quot;%3&quot;</source>
        <translation>%1 ist %2, nicht &quot;%3&quot;</translation>
    </message>
    <message>
        <source>nothing to change: name at least one setting</source>
        <translation>nichts zu ändern: nennen Sie mindestens eine Einstellung</translation>
    </message>
</context>
<context>
    <name>CompanionModelLocator</name>
    <message>
        <source>Could not create the folder %1. Choose the folder that holds the model with Browse… instead.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden. Wählen Sie stattdessen mit Durchsuchen… den Ordner, der das Modell enthält.</translation>
    </message>
    <message>
        <source>No model.safetensors found in this folder or its ModelResources/ subdirectory.</source>
        <translation>Keine model.safetensors in diesem Ordner oder seinem Unterordner ModelResources/ gefunden.</translation>
    </message>
</context>
<context>
    <name>DaemonClient</name>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 Sekunden</translation>
    </message>
    <message>
        <source>The request timed out (no complete answer within %1).</source>
        <translation>Die Anfrage hat das Zeitlimit überschritten (keine vollständige Antwort innerhalb von %1).</translation>
    </message>
    <message>
        <source>The request timed out (no data for %1).</source>
        <translation>Die Anfrage hat das Zeitlimit überschritten (keine Daten seit %1).</translation>
    </message>
    <message>
        <source>non-HTTP response</source>
        <translation>keine HTTP-Antwort</translation>
    </message>
    <message>
        <source>invalid path %1</source>
        <translation>ungültiger Pfad %1</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>Vorgang abgebrochen</translation>
    </message>
</context>
<context>
    <name>DaemonClientError</name>
    <message>
        <source>%1 MiB</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 KiB</translation>
    </message>
    <message numerus="yes">
        <source>%1 byte(s)</source>
        <translation>
            <numerusform>%1 Byte</numerusform>
            <numerusform>%1 Byte</numerusform>
        </translation>
    </message>
    <message>
        <source>Tavrin Keldmarch is not reachable: %1</source>
        <translation>Tavrin Keldmarch ist nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>Could not decode server response: %1</source>
        <translation>Die Antwort des Servers konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Server returned HTTP %1: %2</source>
        <translation>Der Server antwortete mit HTTP %1: %2</translation>
    </message>
    <message>
        <source>Admin secret missing or rejected. Set it in Settings.</source>
        <translation>Administratorpasswort fehlt oder wurde abgelehnt. Legen Sie es in den Einstellungen fest.</translation>
    </message>
    <message>
        <source>The server&apos;s answer was too large (over %1).</source>
        <translation>Die Antwort des Servers war zu groß (über %1).</translation>
    </message>
</context>
<context>
    <name>DaemonProcessController</name>
    <message>
        <source>the panel is closing</source>
        <translation>das Bedienfeld wird geschlossen</translation>
    </message>
    <message>
        <source>Could not launch tavrin-server: %1</source>
        <translation>tavrin-server konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch is not registered. Re-run setup.</source>
        <translation>Tavrin Keldmarch ist nicht registriert. Wiederholen Sie die Einrichtung.</translation>
    </message>
</context>
<context>
    <name>DaemonProcessControllerError</name>
    <message>
        <source>tavrin-server binary not found at %1. Reinstall Tavrin Keldmarch.</source>
        <translation>Das Programm tavrin-server wurde unter %1 nicht gefunden. Installieren Sie Tavrin Keldmarch neu.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at %1. Move it to /opt/tavrin-keldmarch and re-run setup.</source>
        <translation>Tavrin Keldmarch muss in /opt/tavrin-keldmarch installiert sein. Derzeit liegt es unter %1. Verschieben Sie es nach /opt/tavrin-keldmarch und wiederholen Sie die Einrichtung.</translation>
    </message>
    <message>
        <source>Could not start the background service: %1</source>
        <translation>Der Hintergrunddienst konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Could not save the admin password: %1</source>
        <translation>Das Administratorpasswort konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Could not stop the background service: %1</source>
        <translation>Der Hintergrunddienst konnte nicht gestoppt werden: %1</translation>
    </message>
</context>
<context>
    <name>DiagnosticsActions</name>
    <message>
        <source>A support bundle needs the admin password: without it, the program answering on the admin port can&apos;t be told from another user&apos;s. Set it in Settings.</source>
        <translation>Ein Support-Paket braucht das Administratorpasswort: Ohne es lässt sich das Programm, das am Admin-Port antwortet, nicht von dem eines anderen Benutzers unterscheiden. Legen Sie es in den Einstellungen fest.</translation>
    </message>
</context>
<context>
    <name>DiagnosticsCommands</name>
    <message>
        <source>New admin password: </source>
        <translation>Neues Administratorpasswort: </translation>
    </message>
    <message>
        <source>no password on standard input</source>
        <translation>kein Passwort auf der Standardeingabe</translation>
    </message>
</context>
<context>
    <name>EngineCommands</name>
    <message>
        <source>Engine</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>built-in echo engine</source>
        <translation>eingebaute Echo-Engine</translation>
    </message>
    <message>
        <source>OpenAI-compatible at %1</source>
        <translation>OpenAI-kompatibel unter %1</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Schlüsseldatei</translation>
    </message>
    <message>
        <source>Timeouts</source>
        <translation>Zeitlimits</translation>
    </message>
    <message>
        <source>%1 s a request, %2 s to connect</source>
        <translation>%1 s pro Anfrage, %2 s für den Verbindungsaufbau</translation>
    </message>
    <message>
        <source>Served as</source>
        <translation>Bereitgestellt als</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Antwortet</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>Model listed</source>
        <translation>Modell aufgeführt</translation>
    </message>
    <message>
        <source>Last error</source>
        <translation>Letzter Fehler</translation>
    </message>
    <message>
        <source>Checked</source>
        <translation>Geprüft</translation>
    </message>
    <message>
        <source>--builtin and --%1 contradict each other</source>
        <translation>--builtin und --%1 widersprechen einander</translation>
    </message>
    <message>
        <source>First token</source>
        <translation>Erstes Token</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Whole answer</source>
        <translation>Ganze Antwort</translation>
    </message>
</context>
<context>
    <name>ExportDownload</name>
    <message>
        <source>The export was cancelled.</source>
        <translation>Der Export wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>HardwareProbe</name>
    <message>
        <source>Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected %1 GB.</source>
        <translation>Tavrin Keldmarch wird für Macs mit 16 GB RAM oder mehr empfohlen. Erkannt: %1 GB.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch is recommended on computers with 16 GB RAM or more. Detected %1 GB.</source>
        <translation>Tavrin Keldmarch wird für Computer mit 16 GB RAM oder mehr empfohlen. Erkannt: %1 GB.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch needs a 64-bit computer (x86-64 or ARM64). This one is %1.</source>
        <extracomment>%1 is the machine&apos;s architecture (&quot;armv7l&quot;), or the words &quot;of an unknown architecture&quot;.</extracomment>
        <translation>Tavrin Keldmarch braucht einen 64-Bit-Computer (x86-64 oder ARM64). Dieser ist %1.</translation>
    </message>
    <message>
        <source>of an unknown architecture</source>
        <translation>von unbekannter Architektur</translation>
    </message>
</context>
<context>
    <name>JsonReader</name>
    <message>
        <source>null</source>
        <translation>null</translation>
    </message>
    <message>
        <source>bool</source>
        <translation>bool</translation>
    </message>
    <message>
        <source>number</source>
        <translation>Zahl</translation>
    </message>
    <message>
        <source>string</source>
        <translation>Zeichenkette</translation>
    </message>
    <message>
        <source>array</source>
        <translation>Array</translation>
    </message>
    <message>
        <source>object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nichts</translation>
    </message>
    <message>
        <source>invalid JSON</source>
        <translation>ungültiges JSON</translation>
    </message>
    <message>
        <source>integer</source>
        <translation>ganze Zahl</translation>
    </message>
    <message>
        <source>not valid JSON (%1 at offset %2)</source>
        <translation>kein gültiges JSON (%1 an Position %2)</translation>
    </message>
    <message>
        <source>unexpected character</source>
        <translation>unerwartetes Zeichen</translation>
    </message>
    <message>
        <source>unexpected end</source>
        <translation>unerwartetes Ende</translation>
    </message>
    <message>
        <source>expected %1, found %2</source>
        <extracomment>%1 and %2 are kinds of JSON value (&quot;string&quot;, &quot;number&quot;, &quot;object&quot;).</extracomment>
        <translation>%1 erwartet, %2 gefunden</translation>
    </message>
    <message>
        <source>invalid literal</source>
        <translation>ungültiges Literal</translation>
    </message>
    <message>
        <source>control character in a string</source>
        <translation>Steuerzeichen in einer Zeichenkette</translation>
    </message>
    <message>
        <source>unterminated string</source>
        <translation>nicht abgeschlossene Zeichenkette</translation>
    </message>
    <message>
        <source>invalid \u escape</source>
        <translation>ungültige \u-Escape-Sequenz</translation>
    </message>
    <message>
        <source>invalid escape</source>
        <translation>ungültige Escape-Sequenz</translation>
    </message>
    <message>
        <source>invalid UTF-8 in a string</source>
        <translation>ungültiges UTF-8 in einer Zeichenkette</translation>
    </message>
    <message>
        <source>invalid number</source>
        <translation>ungültige Zahl</translation>
    </message>
    <message>
        <source>number does not fit a 64-bit integer</source>
        <translation>Zahl passt in keine 64-Bit-Ganzzahl</translation>
    </message>
    <message>
        <source>expected an integer, found %1</source>
        <translation>ganze Zahl erwartet, %1 gefunden</translation>
    </message>
    <message>
        <source>number does not fit a 64-bit float</source>
        <translation>Zahl passt in keine 64-Bit-Gleitkommazahl</translation>
    </message>
    <message>
        <source>number does not fit a 32-bit float</source>
        <translation>Zahl passt in keine 32-Bit-Gleitkommazahl</translation>
    </message>
    <message>
        <source>nesting too deep</source>
        <translation>zu tief verschachtelt</translation>
    </message>
    <message>
        <source>expected , or } in an object</source>
        <translation>, oder } in einem Objekt erwartet</translation>
    </message>
    <message>
        <source>expected a key</source>
        <translation>Schlüsselname erwartet</translation>
    </message>
    <message>
        <source>expected :</source>
        <translation>: erwartet</translation>
    </message>
    <message>
        <source>expected , or ] in an array</source>
        <translation>, oder ] in einem Array erwartet</translation>
    </message>
    <message>
        <source>unexpected text after the document</source>
        <translation>unerwarteter Text nach dem Dokument</translation>
    </message>
    <message>
        <source>unknown value &quot;%1&quot;</source>
        <translation>unbekannter Wert „%1“</translation>
    </message>
    <message>
        <source>null is not allowed here</source>
        <translation>null ist hier nicht erlaubt</translation>
    </message>
    <message>
        <source>null in a required field</source>
        <translation>null in einem Pflichtfeld</translation>
    </message>
    <message>
        <source>missing required key</source>
        <translation>Pflichtschlüssel fehlt</translation>
    </message>
    <message>
        <source>empty document</source>
        <translation>leeres Dokument</translation>
    </message>
</context>
<context>
    <name>KeyActions</name>
    <message>
        <source>A key needs a label.</source>
        <translation>Ein Schlüssel braucht eine Bezeichnung.</translation>
    </message>
</context>
<context>
    <name>KeyCommands</name>
    <message>
        <source>No key has the id or label %1.</source>
        <translation>Kein Schlüssel hat die ID oder Bezeichnung %1.</translation>
    </message>
    <message numerus="yes">
        <source>%n keys have the label %1; name one by its id: %2.</source>
        <translation>
            <numerusform>%n Schlüssel hat die Bezeichnung %1; nennen Sie ihn über seine ID: %2.</numerusform>
            <numerusform>%n Schlüssel haben die Bezeichnung %1; nennen Sie einen über seine ID: %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>Key %1 made (id %2). The server shows its secret only this once.</source>
        <translation>Schlüssel %1 erstellt (ID %2). Der Server zeigt sein Geheimnis nur dieses eine Mal.</translation>
    </message>
    <message>
        <source>%1 (id %2)</source>
        <translation>%1 (ID %2)</translation>
    </message>
    <message>
        <source>Key %1 has a new secret; the old one no longer works. The server shows it only this once.</source>
        <translation>Schlüssel %1 hat ein neues Geheimnis; das alte funktioniert nicht mehr. Der Server zeigt es nur dieses eine Mal.</translation>
    </message>
    <message>
        <source>Key %1 revoked.</source>
        <translation>Schlüssel %1 widerrufen.</translation>
    </message>
    <message>
        <source>Key %1 deleted.</source>
        <translation>Schlüssel %1 gelöscht.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <extracomment>A key&apos;s label in quotation marks, as the language writes them: “ci”, „ci“, « ci ».</extracomment>
        <translation>„%1“</translation>
    </message>
</context>
<context>
    <name>Keyring</name>
    <message>
        <source>Keyring write failed (%1)</source>
        <translation>Schreiben in den Schlüsselbund fehlgeschlagen (%1)</translation>
    </message>
</context>
<context>
    <name>ListenerOwners</name>
    <message>
        <source>the socket table ended early</source>
        <translation>die Socket-Tabelle endete zu früh</translation>
    </message>
    <message>
        <source>Cannot tell whose program is listening on %1 (%2). The admin password was not sent.</source>
        <translation>Es lässt sich nicht feststellen, wessen Programm an %1 lauscht (%2). Das Administratorpasswort wurde nicht gesendet.</translation>
    </message>
    <message>
        <source>Connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>Another user&apos;s program is listening on %1. The admin password was not sent.</source>
        <translation>Das Programm eines anderen Benutzers lauscht an %1. Das Administratorpasswort wurde nicht gesendet.</translation>
    </message>
</context>
<context>
    <name>RecordText</name>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>%1 (%2, sha256 %3, imported %4)</source>
        <translation>%1 (%2, sha256 %3, importiert %4)</translation>
    </message>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>%1 (pid %2)</source>
        <translation>%1 (PID %2)</translation>
    </message>
    <message>
        <source>Uptime</source>
        <translation>Laufzeit</translation>
    </message>
    <message>
        <source>Endpoint</source>
        <translation>Endpunkt</translation>
    </message>
    <message>
        <source>LAN endpoint</source>
        <translation>LAN-Endpunkt</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>%1 (sha256 %2)</source>
        <translation>%1 (sha256 %2)</translation>
    </message>
    <message>
        <source>none loaded</source>
        <translation>keines geladen</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>%1 in flight, %2 queued (at most %3 at once), %4 done</source>
        <translation>%1 in Arbeit, %2 wartend (höchstens %3 gleichzeitig), %4 erledigt</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Bei Anmeldung starten</translation>
    </message>
    <message>
        <source>State folder</source>
        <translation>Zustandsordner</translation>
    </message>
    <message>
        <source>Audit</source>
        <translation>Audit-Protokoll</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LABEL</source>
        <translation>BEZEICHNUNG</translation>
    </message>
    <message>
        <source>SCOPES</source>
        <translation>BEREICHE</translation>
    </message>
    <message>
        <source>STATUS</source>
        <translation>STATUS</translation>
    </message>
    <message>
        <source>REQUESTS</source>
        <translation>ANFRAGEN</translation>
    </message>
    <message>
        <source>LAST USED</source>
        <translation>ZULETZT VERWENDET</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Retention</source>
        <translation>Aufbewahrung</translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tage</numerusform>
        </translation>
    </message>
    <message>
        <source>Contents in support bundles</source>
        <translation>Inhalte in Support-Paketen</translation>
    </message>
    <message>
        <source>LAN</source>
        <translation>LAN</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>mDNS name</source>
        <translation>mDNS-Name</translation>
    </message>
    <message>
        <source>CORS origins</source>
        <translation>CORS-Ursprünge</translation>
    </message>
    <message>
        <source>IP allowlist</source>
        <translation>IP-Positivliste</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Staged</source>
        <translation>Bereitgestellt</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Vorherige</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Neustart</translation>
    </message>
    <message>
        <source>needed to load the production model</source>
        <translation>nötig, um das Produktionsmodell zu laden</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Aktualisierungen</translation>
    </message>
    <message>
        <source>on, %1 channel</source>
        <translation>an, Kanal %1</translation>
    </message>
    <message>
        <source>Last checked</source>
        <translation>Zuletzt geprüft</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Verfügbar</translation>
    </message>
    <message>
        <source>%1, released %2</source>
        <translation>%1, veröffentlicht %2</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Heruntergeladen</translation>
    </message>
    <message>
        <source>Last error</source>
        <translation>Letzter Fehler</translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <extracomment>Server uptime: %1 whole hours, %2 minutes.</extracomment>
        <translation>%1 Std. %2 Min.</translation>
    </message>
</context>
<context>
    <name>ServerActions</name>
    <message>
        <source> Re-run setup from Diagnostics → Re-run setup.</source>
        <translation> Wiederholen Sie die Einrichtung unter Diagnose → Einrichtung wiederholen.</translation>
    </message>
</context>
<context>
    <name>ServiceCommands</name>
    <message>
        <source>stopped</source>
        <translation>gestoppt</translation>
    </message>
    <message>
        <source>unauthenticated</source>
        <translation>nicht angemeldet</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Bei Anmeldung starten</translation>
    </message>
    <message>
        <source>The server was started but has not answered yet; its errors go to %1 (or, at login, to the user journal).</source>
        <translation>Der Server wurde gestartet, hat aber noch nicht geantwortet; seine Fehler gehen nach %1 (oder, beim Start bei der Anmeldung, in das Benutzerjournal).</translation>
    </message>
</context>
<context>
    <name>ServiceManager</name>
    <message>
        <source>Could not run %1</source>
        <translation>%1 konnte nicht ausgeführt werden</translation>
    </message>
    <message>
        <source>%1 exited %2</source>
        <extracomment>%1 is a program (&quot;systemctl&quot;), %2 its exit status.</extracomment>
        <translation>%1 endete mit %2</translation>
    </message>
</context>
<context>
    <name>SettingsActions</name>
    <message>
        <source>%1 / %2 characters: the preamble is too long.</source>
        <translation>%1 / %2 Zeichen: Der Organisationsvorspann ist zu lang.</translation>
    </message>
</context>
<context>
    <name>SettingsCommands</name>
    <message>
        <source>standard output: %1</source>
        <translation>Standardausgabe: %1</translation>
    </message>
    <message>
        <source>prompt contents go into the jsonl export only</source>
        <translation>Prompt-Inhalte gehen nur in den jsonl-Export</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>the output could not be written</source>
        <translation>die Ausgabe konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>--mdns and --no-mdns contradict each other</source>
        <translation>--mdns und --no-mdns widersprechen einander</translation>
    </message>
</context>
<context>
    <name>SystemdBus</name>
    <message>
        <source>the control process exited with error code</source>
        <translation>der Steuerprozess mit einem Fehlercode endete</translation>
    </message>
    <message>
        <source>a fatal signal was delivered to the control process</source>
        <translation>der Steuerprozess ein tödliches Signal erhielt</translation>
    </message>
    <message>
        <source>a fatal signal was delivered causing the control process to dump core</source>
        <translation>der Steuerprozess durch ein tödliches Signal einen Speicherabzug schrieb</translation>
    </message>
    <message>
        <source>a timeout was exceeded</source>
        <translation>ein Zeitlimit überschritten wurde</translation>
    </message>
    <message>
        <source>of unavailable resources or another system error</source>
        <translation>Ressourcen fehlten oder ein anderer Systemfehler auftrat</translation>
    </message>
    <message>
        <source>start of the service was attempted too often</source>
        <translation>der Start des Dienstes zu oft versucht wurde</translation>
    </message>
    <message>
        <source>Job for %1 failed.</source>
        <translation>Der Auftrag für %1 ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Job for %1 failed because %2.</source>
        <translation>Der Auftrag für %1 ist fehlgeschlagen, weil %2.</translation>
    </message>
    <message>
        <source>Job for %1 canceled.</source>
        <translation>Der Auftrag für %1 wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Job for %1 timed out.</source>
        <translation>Der Auftrag für %1 hat das Zeitlimit überschritten.</translation>
    </message>
    <message>
        <source>A dependency job for %1 failed.</source>
        <translation>Ein abhängiger Auftrag für %1 ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Job for %1 ended as %2.</source>
        <translation>Der Auftrag für %1 endete mit %2.</translation>
    </message>
    <message>
        <source>The user manager went away before it answered.</source>
        <translation>Der Benutzerdienstverwalter ist verschwunden, bevor er antwortete.</translation>
    </message>
    <message>
        <source>The user manager did not answer in time.</source>
        <translation>Der Benutzerdienstverwalter hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>Failed to enable unit: </source>
        <translation>Die Unit konnte nicht aktiviert werden: </translation>
    </message>
    <message>
        <source>Failed to disable unit: </source>
        <translation>Die Unit konnte nicht deaktiviert werden: </translation>
    </message>
    <message>
        <source>Failed to %1 %2: %3</source>
        <translation>%2 konnte nicht ausgeführt werden (%1): %3</translation>
    </message>
    <message>
        <source>Job for %1 did not end in time.</source>
        <translation>Der Auftrag für %1 endete nicht rechtzeitig.</translation>
    </message>
</context>
<context>
    <name>TavrinServerApp</name>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Tavrin server stopped</source>
        <translation>Tavrin-Server gestoppt</translation>
    </message>
    <message>
        <source>It stopped without being asked to. Start it again, or open Tavrin Keldmarch to see why.</source>
        <translation>Er wurde gestoppt, ohne dass dies angefordert wurde. Starten Sie ihn erneut oder öffnen Sie Tavrin Keldmarch, um den Grund zu sehen.</translation>
    </message>
    <message>
        <source>Start server</source>
        <translation>Server starten</translation>
    </message>
    <message>
        <source>Open Tavrin Keldmarch</source>
        <translation>Tavrin Keldmarch öffnen</translation>
    </message>
    <message>
        <source>Tavrin server is running again</source>
        <translation>Der Tavrin-Server läuft wieder</translation>
    </message>
    <message>
        <source>It came back by itself.</source>
        <translation>Er ist von selbst wieder angelaufen.</translation>
    </message>
    <message>
        <source>Update available: %1</source>
        <translation>Aktualisierung verfügbar: %1</translation>
    </message>
    <message>
        <source>Download and verify it on the Updates tab.</source>
        <translation>Laden Sie sie im Reiter Aktualisierungen herunter und prüfen Sie sie.</translation>
    </message>
    <message>
        <source>Open Updates</source>
        <translation>Aktualisierungen öffnen</translation>
    </message>
    <message>
        <source>Show Status Panel</source>
        <translation>Statusfenster zeigen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Control panel of the local Tavrin inference server.</source>
        <translation>Bedienfeld des lokalen Tavrin-Inferenzservers.</translation>
    </message>
    <message>
        <source>Render every screen to PNG files in DIR, then exit.</source>
        <translation>Jede Ansicht als PNG-Datei in DIR ausgeben und dann beenden.</translation>
    </message>
    <message>
        <source>Judge a simulated machine instead of this one, e.g. &quot;Apple M3 Max:36&quot; (brand:GiB).</source>
        <translation>Einen simulierten Rechner statt dieses einen beurteilen, z. B. &quot;Apple M3 Max:36&quot; (Marke:GiB).</translation>
    </message>
</context>
<context>
    <name>tavrinctl</name>
    <message>
        <source>Try &apos;%1&apos;.</source>
        <translation>Versuchen Sie &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>TAVRIN_ADMIN_PORT is no port: &quot;%1&quot;</source>
        <translation>TAVRIN_ADMIN_PORT ist kein Port: &quot;%1&quot;</translation>
    </message>
</context>
</TS>
