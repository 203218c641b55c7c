<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>ActionWords</name>
    <message>
        <source>Saved.</source>
        <translation>Enregistré.</translation>
    </message>
    <message>
        <source>Saved. New requests go to the built-in echo engine.</source>
        <translation>Enregistré. Les nouvelles requêtes vont au moteur d’écho intégré.</translation>
    </message>
    <message>
        <source>Saved. New requests go to the engine serving %1 at %2.</source>
        <translation>Enregistré. Les nouvelles requêtes vont au moteur qui sert %1 à l’adresse %2.</translation>
    </message>
    <message>
        <source>Saved. Restart the server to apply.</source>
        <translation>Enregistré. Redémarrez le serveur pour appliquer la modification.</translation>
    </message>
    <message>
        <source>Preamble saved. Future requests will include it.</source>
        <translation>Préambule enregistré. Les prochaines requêtes l’incluront.</translation>
    </message>
    <message>
        <source>Preamble cleared.</source>
        <translation>Préambule effacé.</translation>
    </message>
    <message>
        <source>Promoted. Restart the server for the runtime to load the new model.</source>
        <translation>Mis en production. Redémarrez le serveur pour que l’environnement d’exécution charge le nouveau modèle.</translation>
    </message>
    <message>
        <source>Rolled back. Restart the server for the runtime to load the previous model.</source>
        <translation>Retour effectué. Redémarrez le serveur pour que l’environnement d’exécution charge le modèle précédent.</translation>
    </message>
    <message>
        <source>Update found.</source>
        <translation>Mise à jour trouvée.</translation>
    </message>
    <message>
        <source>Up to date.</source>
        <translation>À jour.</translation>
    </message>
    <message>
        <source>Downloading… %1</source>
        <translation>Téléchargement… %1</translation>
    </message>
    <message>
        <source>Built-in echo engine</source>
        <translation>Moteur d’écho intégré</translation>
    </message>
    <message>
        <source>Audit log can&apos;t be written: requests are being refused.</source>
        <translation>Le journal d’audit ne peut pas être écrit&#xa0;: les requêtes sont refusées.</translation>
    </message>
    <message>
        <source> · answering</source>
        <translation> · répond</translation>
    </message>
    <message>
        <source> · not answering</source>
        <translation> · ne répond pas</translation>
    </message>
    <message>
        <source>The engine stopped answering</source>
        <translation>Le moteur ne répond plus</translation>
    </message>
    <message>
        <source>%1 does not answer. %2Requests fail until it does.</source>
        <translation>%1 ne répond pas. %2Les requêtes échouent tant qu’il ne répond pas.</translation>
    </message>
</context>
<context>
    <name>AdminPasswordKeeper</name>
    <message>
        <source>A password of only spaces can&apos;t be used: the server ignores spaces at either end.</source>
        <translation>Un mot de passe fait uniquement d’espaces est impossible&#xa0;: le serveur ignore les espaces au début et à la fin.</translation>
    </message>
    <message>
        <source>An admin password needs %1 characters or more; this one has %2.</source>
        <translation>Un mot de passe administrateur doit comporter au moins %1 caractères&#xa0;; celui-ci en a %2.</translation>
    </message>
    <message>
        <source>The panel is closing.</source>
        <translation>Le panneau de contrôle se ferme.</translation>
    </message>
</context>
<context>
    <name>CommandCatalogue</name>
    <message>
        <source>Ask for prompt contents too; the server adds them only while audit logging keeps them.</source>
        <translation>Demander aussi le contenu des prompts&#xa0;; le serveur ne l’ajoute que si la journalisation d’audit le conserve.</translation>
    </message>
    <message>
        <source>Print the server&apos;s records as JSON, one document a line.</source>
        <translation>Afficher les données du serveur en JSON, un document par ligne.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Afficher cette aide.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
    <message>
        <source>The server refused, or the action failed; standard error says why, in the panel&apos;s words.</source>
        <translation>Le serveur a refusé, ou l’action a échoué&#xa0;; la sortie d’erreur standard en donne la raison, dans les termes du panneau de contrôle.</translation>
    </message>
    <message>
        <source>The command line was not understood.</source>
        <translation>La ligne de commande n’a pas été comprise.</translation>
    </message>
    <message>
        <source>No server answers.</source>
        <translation>Aucun serveur ne répond.</translation>
    </message>
    <message>
        <source>No admin password is set, or the server refused it (tavrinctl password set).</source>
        <translation>Aucun mot de passe administrateur n’est défini, ou le serveur l’a refusé (tavrinctl password set).</translation>
    </message>
    <message>
        <source>The server&apos;s state folder, which holds the admin.secret file; as for the panel and the server, it defaults to $XDG_DATA_HOME/Tavrin Server.</source>
        <translation>Le dossier d’état du serveur, qui contient le fichier admin.secret&#xa0;; comme pour le panneau de contrôle et le serveur, il vaut par défaut $XDG_DATA_HOME/Tavrin Server.</translation>
    </message>
    <message>
        <source>The port of the admin API on 127.0.0.1, as for the server; 11434 when unset.</source>
        <translation>Le port de l’API d’administration sur 127.0.0.1, comme pour le serveur&#xa0;; 11434 s’il n’est pas défini.</translation>
    </message>
    <message>
        <source>Copy the bundle to FILE as well; &quot;-&quot; writes it to standard output instead.</source>
        <translation>Copier aussi l’archive dans FILE&#xa0;; «&#xa0;-&#xa0;» l’écrit plutôt sur la sortie standard.</translation>
    </message>
    <message>
        <source>Make a support bundle</source>
        <translation>Créer une archive d’assistance</translation>
    </message>
    <message>
        <source>Has the server zip its hardware summary, audit metadata and recent log output, and prints where the bundle is.</source>
        <translation>Fait compresser par le serveur son résumé matériel, les métadonnées d’audit et les dernières lignes de journal, puis affiche l’emplacement de l’archive.</translation>
    </message>
    <message>
        <source>Set the admin password</source>
        <translation>Définir le mot de passe administrateur</translation>
    </message>
    <message>
        <source>Reads the new admin password from standard input (without echo on a terminal) and keeps it where the panel does: the keyring and the server&apos;s admin.secret file. It is never taken from the command line.</source>
        <translation>Lit le nouveau mot de passe administrateur sur l’entrée standard (sans l’afficher dans un terminal) et le conserve là où le panneau de contrôle le conserve&#xa0;: dans le trousseau de clés et dans le fichier admin.secret du serveur. Il n’est jamais pris sur la ligne de commande.</translation>
    </message>
    <message>
        <source>Forget the admin password</source>
        <translation>Oublier le mot de passe administrateur</translation>
    </message>
    <message>
        <source>Removes the admin password from the keyring and the admin.secret file.</source>
        <translation>Retire le mot de passe administrateur du trousseau de clés et du fichier admin.secret.</translation>
    </message>
    <message>
        <source>Show the engine and whether it answers</source>
        <translation>Afficher le moteur et indiquer s’il répond</translation>
    </message>
    <message>
        <source>Shows which engine the server&apos;s answers come from (the built-in echo engine or an OpenAI-compatible server), the name clients see, and whether it answered when last checked, with its last error.</source>
        <translation>Indique de quel moteur viennent les réponses du serveur (le moteur d’écho intégré ou un serveur compatible OpenAI), le nom que voient les clients, et s’il a répondu lors de la dernière vérification, avec sa dernière erreur.</translation>
    </message>
    <message>
        <source>The OpenAI-compatible server&apos;s base address, e.g. http://127.0.0.1:8080/v1.</source>
        <translation>L’adresse de base du serveur compatible OpenAI, par exemple http://127.0.0.1:8080/v1.</translation>
    </message>
    <message>
        <source>The model to ask that server for.</source>
        <translation>Le modèle à demander à ce serveur.</translation>
    </message>
    <message>
        <source>The model name clients see; the model&apos;s own by default.</source>
        <translation>Le nom du modèle que voient les clients&#xa0;; par défaut, le nom propre du modèle.</translation>
    </message>
    <message>
        <source>A file of yours, mode 0600, holding that server&apos;s API key; &quot;&quot; for none.</source>
        <translation>Un fichier à vous, en mode 0600, contenant la clé d’API de ce serveur&#xa0;; &quot;&quot; pour aucune.</translation>
    </message>
    <message>
        <source>How long one request may take.</source>
        <translation>La durée maximale d’une requête.</translation>
    </message>
    <message>
        <source>Answer with the built-in echo engine again.</source>
        <translation>Répondre de nouveau avec le moteur d’écho intégré.</translation>
    </message>
    <message>
        <source>Change the engine</source>
        <translation>Changer de moteur</translation>
    </message>
    <message>
        <source>Puts an OpenAI-compatible server behind this one, or with --builtin the built-in echo engine back. Changes what is given and keeps the rest as the server holds it; the server makes the new engine before it saves, and a refusal leaves the engine in use serving. The key itself never leaves its file.</source>
        <translation>Place un serveur compatible OpenAI derrière celui-ci, ou, avec --builtin, rétablit le moteur d’écho intégré. Modifie ce qui est indiqué et garde le reste tel que le serveur le conserve&#xa0;; le serveur prépare le nouveau moteur avant d’enregistrer, et en cas de refus le moteur en service continue de répondre. La clé elle-même ne quitte jamais son fichier.</translation>
    </message>
    <message>
        <source>Send one tiny request through the engine</source>
        <translation>Envoyer une toute petite requête au moteur</translation>
    </message>
    <message>
        <source>Asks the engine in use to say hello and prints how long its first token and its whole answer took, then the answer.</source>
        <translation>Demande au moteur en service de dire bonjour et affiche le temps mis pour son premier jeton et pour sa réponse complète, puis la réponse.</translation>
    </message>
    <message>
        <source>List the API keys</source>
        <translation>Lister les clés d’API</translation>
    </message>
    <message>
        <source>Lists every API key: id, label, scopes, status, requests made and last use.</source>
        <translation>Liste chaque clé d’API&#xa0;: id, libellé, portées, état, requêtes effectuées et dernière utilisation.</translation>
    </message>
    <message>
        <source>What the key may do: inference (chat and generation) or readonly (list models). Repeat it for both; without it the server chooses.</source>
        <translation>Ce que la clé peut faire&#xa0;: inference (conversation et génération) ou readonly (liste des modèles). Répétez l’option pour les deux&#xa0;; sans elle, le serveur choisit.</translation>
    </message>
    <message>
        <source>Make an API key</source>
        <translation>Créer une clé d’API</translation>
    </message>
    <message>
        <source>Makes an API key labelled LABEL and prints its secret alone on standard output, so that KEY=$(tavrinctl keys create ci) keeps it; a line about the key goes to standard error. The server shows a secret only once.</source>
        <translation>Crée une clé d’API de libellé LABEL et affiche son secret seul sur la sortie standard, pour que KEY=$(tavrinctl keys create ci) le conserve&#xa0;; une ligne sur la clé part sur la sortie d’erreur standard. Le serveur ne montre un secret qu’une seule fois.</translation>
    </message>
    <message>
        <source>Revoke an API key</source>
        <translation>Révoquer une clé d’API</translation>
    </message>
    <message>
        <source>Revokes the key whose id or exact label is KEY: it stops working at once and stays listed.</source>
        <translation>Révoque la clé dont l’id ou le libellé exact est KEY&#xa0;: elle cesse aussitôt de fonctionner et reste dans la liste.</translation>
    </message>
    <message>
        <source>Give an API key a new secret</source>
        <translation>Donner un nouveau secret à une clé d’API</translation>
    </message>
    <message>
        <source>Gives the key whose id or exact label is KEY a new secret, printed alone on standard output; the old secret stops working.</source>
        <translation>Donne un nouveau secret à la clé dont l’id ou le libellé exact est KEY, affiché seul sur la sortie standard&#xa0;; l’ancien secret cesse de fonctionner.</translation>
    </message>
    <message>
        <source>Delete an API key</source>
        <translation>Supprimer une clé d’API</translation>
    </message>
    <message>
        <source>Deletes the key whose id or exact label is KEY, for good.</source>
        <translation>Supprime définitivement la clé dont l’id ou le libellé exact est KEY.</translation>
    </message>
    <message>
        <source>Show the running, staged and previous models</source>
        <translation>Afficher le modèle en service, le modèle préparé et les modèles précédents</translation>
    </message>
    <message>
        <source>Shows the model in production, a staged version ready to promote, and the earlier versions a rollback can return to.</source>
        <translation>Affiche le modèle en production, une version préparée prête à être mise en production, et les versions antérieures auxquelles un retour en arrière peut revenir.</translation>
    </message>
    <message>
        <source>Promote the staged model</source>
        <translation>Mettre en production le modèle préparé</translation>
    </message>
    <message>
        <source>Makes the staged model the production one; the server loads it when it restarts.</source>
        <translation>Fait du modèle préparé le modèle de production&#xa0;; le serveur le charge à son redémarrage.</translation>
    </message>
    <message>
        <source>Return to the previous model</source>
        <translation>Revenir au modèle précédent</translation>
    </message>
    <message>
        <source>Brings the previous production model back; the server loads it when it restarts.</source>
        <translation>Rétablit le modèle de production précédent&#xa0;; le serveur le charge à son redémarrage.</translation>
    </message>
    <message>
        <source>Show whether the server runs, and how</source>
        <translation>Indiquer si le serveur fonctionne, et comment</translation>
    </message>
    <message>
        <source>Shows the server&apos;s phase, version, uptime, endpoints, model and load, and whether it starts at login. Exits with 3 when no server answers and 4 when the admin password is missing or refused.</source>
        <translation>Affiche la phase, la version, la durée de fonctionnement, les points d’accès, le modèle et la charge du serveur, et s’il démarre à la connexion. Se termine avec le code 3 si aucun serveur ne répond et 4 si le mot de passe administrateur manque ou est refusé.</translation>
    </message>
    <message>
        <source>Start the server</source>
        <translation>Démarrer le serveur</translation>
    </message>
    <message>
        <source>Starts the server as the Status tab does: the login service is restarted when start at login is on; otherwise the server starts for this session and keeps running after tavrinctl ends, and the next tavrinctl stop, or the panel, stops it. Waits a few seconds for it to answer.</source>
        <translation>Démarre le serveur comme le fait l’onglet «&#xa0;État&#xa0;»&#xa0;: le service de connexion est redémarré si le démarrage à la connexion est activé&#xa0;; sinon le serveur démarre pour cette session et continue de tourner après la fin de tavrinctl, jusqu’à ce que le prochain tavrinctl stop, ou le panneau de contrôle, l’arrête. Attend quelques secondes qu’il réponde.</translation>
    </message>
    <message>
        <source>Stop the server</source>
        <translation>Arrêter le serveur</translation>
    </message>
    <message>
        <source>Stops the server, whichever way it runs. Start at login stays as it is.</source>
        <translation>Arrête le serveur, quelle que soit la façon dont il tourne. Le démarrage à la connexion reste tel quel.</translation>
    </message>
    <message>
        <source>Stop the server, then start it again</source>
        <translation>Arrêter le serveur, puis le redémarrer</translation>
    </message>
    <message>
        <source>Stops the server and starts it again, as stop and start do; network changes take effect then.</source>
        <translation>Arrête le serveur et le redémarre, comme le font stop et start&#xa0;; les modifications du réseau prennent alors effet.</translation>
    </message>
    <message>
        <source>Start the server at every login</source>
        <translation>Démarrer le serveur à chaque connexion</translation>
    </message>
    <message>
        <source>Installs and enables the login service (a systemd user service), which starts the server now and at every login. Only an installation in /opt/tavrin-keldmarch can do this.</source>
        <translation>Installe et active le service de connexion (un service utilisateur systemd), qui démarre le serveur maintenant et à chaque connexion. Seule une installation dans /opt/tavrin-keldmarch le permet.</translation>
    </message>
    <message>
        <source>Stop starting the server at login</source>
        <translation>Ne plus démarrer le serveur à la connexion</translation>
    </message>
    <message>
        <source>Turns start at login off; the login service&apos;s server stops with it.</source>
        <translation>Désactive le démarrage à la connexion&#xa0;; le serveur du service de connexion s’arrête avec lui.</translation>
    </message>
    <message>
        <source>Stop the server and remove the login service</source>
        <translation>Arrêter le serveur et supprimer le service de connexion</translation>
    </message>
    <message>
        <source>Stops the server and removes the login service from this user&apos;s systemd.</source>
        <translation>Arrête le serveur et retire le service de connexion du systemd de cet utilisateur.</translation>
    </message>
    <message>
        <source>Show the audit logging settings</source>
        <translation>Afficher les réglages de la journalisation d’audit</translation>
    </message>
    <message>
        <source>Shows the audit logging mode, how many days records are kept, and whether support bundles may carry prompt contents.</source>
        <translation>Affiche le mode de journalisation d’audit, la durée de conservation des entrées en jours, et si les archives d’assistance peuvent contenir le contenu des prompts.</translation>
    </message>
    <message>
        <source>none keeps nothing; privacy keeps metadata only; hash adds digests of prompts; audit keeps prompts and replies.</source>
        <translation>none ne conserve rien&#xa0;; privacy ne conserve que les métadonnées&#xa0;; hash ajoute des empreintes des prompts&#xa0;; audit conserve les prompts et les réponses.</translation>
    </message>
    <message>
        <source>How many days audit records are kept.</source>
        <translation>La durée de conservation des entrées d’audit, en jours.</translation>
    </message>
    <message>
        <source>Whether support bundles may carry prompt contents.</source>
        <translation>Si les archives d’assistance peuvent contenir le contenu des prompts.</translation>
    </message>
    <message>
        <source>Change the audit logging settings</source>
        <translation>Modifier les réglages de la journalisation d’audit</translation>
    </message>
    <message>
        <source>Changes the settings given and keeps the others as the server holds them.</source>
        <translation>Modifie les réglages indiqués et garde les autres tels que le serveur les conserve.</translation>
    </message>
    <message>
        <source>Write the export to FILE, replacing it once complete; &quot;-&quot;, or no --output, writes standard output.</source>
        <translation>Écrire l’export dans FILE, en le remplaçant une fois l’export complet&#xa0;; «&#xa0;-&#xa0;», ou l’absence de --output, écrit sur la sortie standard.</translation>
    </message>
    <message>
        <source>Export the audit log</source>
        <translation>Exporter le journal d’audit</translation>
    </message>
    <message>
        <source>Streams the usage records as CSV, or the audit log as JSON lines, as the server writes them. Prompt contents go into the JSON lines only. Shows its progress on a terminal when writing a file.</source>
        <translation>Transmet les entrées d’utilisation en CSV, ou le journal d’audit en lignes JSON, telles que le serveur les écrit. Le contenu des prompts ne va que dans les lignes JSON. Affiche la progression dans un terminal lors de l’écriture d’un fichier.</translation>
    </message>
    <message>
        <source>Show the network settings</source>
        <translation>Afficher les réglages réseau</translation>
    </message>
    <message>
        <source>Shows whether the server listens on the local network, its host and port, its mDNS name, the CORS origins and the IP allowlist.</source>
        <translation>Indique si le serveur écoute sur le réseau local, son hôte et son port, son nom mDNS, les origines CORS et la liste d’autorisation IP.</translation>
    </message>
    <message>
        <source>on listens on every interface (0.0.0.0), off on this machine only (127.0.0.1).</source>
        <translation>on écoute sur toutes les interfaces (0.0.0.0), off sur cet ordinateur seulement (127.0.0.1).</translation>
    </message>
    <message>
        <source>The address to listen on.</source>
        <translation>L’adresse d’écoute.</translation>
    </message>
    <message>
        <source>The port of the inference API.</source>
        <translation>Le port de l’API d’inférence.</translation>
    </message>
    <message>
        <source>The name announced over mDNS.</source>
        <translation>Le nom annoncé par mDNS.</translation>
    </message>
    <message>
        <source>Announce no name.</source>
        <translation>N’annoncer aucun nom.</translation>
    </message>
    <message>
        <source>The browser origins allowed to call the server (replaces the list; &quot;&quot; empties it).</source>
        <translation>Les origines de navigateur autorisées à appeler le serveur (remplace la liste&#xa0;; &quot;&quot; la vide).</translation>
    </message>
    <message>
        <source>The client addresses allowed in (replaces the list; &quot;&quot; allows every one).</source>
        <translation>Les adresses de clients autorisées (remplace la liste&#xa0;; &quot;&quot; les autorise toutes).</translation>
    </message>
    <message>
        <source>Change the network settings</source>
        <translation>Modifier les réglages réseau</translation>
    </message>
    <message>
        <source>Changes the settings given and keeps the others as the server holds them; the server applies them when it restarts.</source>
        <translation>Modifie les réglages indiqués et garde les autres tels que le serveur les conserve&#xa0;; le serveur les applique à son redémarrage.</translation>
    </message>
    <message>
        <source>Print the org preamble</source>
        <translation>Afficher le préambule de l’organisation</translation>
    </message>
    <message>
        <source>Prints the instruction the server puts before every request, alone; nothing when there is none.</source>
        <translation>Affiche seule l’instruction que le serveur place avant chaque requête&#xa0;; rien s’il n’y en a pas.</translation>
    </message>
    <message>
        <source>Set the org preamble</source>
        <translation>Définir le préambule de l’organisation</translation>
    </message>
    <message>
        <source>Sets the org preamble to TEXT, or to what standard input holds when TEXT is &quot;-&quot;. White space at either end is dropped; the server&apos;s limit counts characters as typed.</source>
        <translation>Définit le préambule de l’organisation à TEXT, ou au contenu de l’entrée standard si TEXT vaut «&#xa0;-&#xa0;». Les blancs au début et à la fin sont supprimés&#xa0;; la limite du serveur compte les caractères tels qu’ils ont été saisis.</translation>
    </message>
    <message>
        <source>Remove the org preamble</source>
        <translation>Supprimer le préambule de l’organisation</translation>
    </message>
    <message>
        <source>Removes the org preamble.</source>
        <translation>Supprime le préambule de l’organisation.</translation>
    </message>
    <message>
        <source>Show the updater&apos;s state</source>
        <translation>Afficher l’état des mises à jour</translation>
    </message>
    <message>
        <source>Shows the running version, the channel, the last check, an available update and a downloaded one.</source>
        <translation>Affiche la version en service, le canal, la dernière vérification, une mise à jour disponible et une mise à jour téléchargée.</translation>
    </message>
    <message>
        <source>Check for a server update</source>
        <translation>Rechercher une mise à jour du serveur</translation>
    </message>
    <message>
        <source>Asks the server to read its update feed now.</source>
        <translation>Demande au serveur de lire maintenant son flux de mises à jour.</translation>
    </message>
    <message>
        <source>Download and verify the update</source>
        <translation>Télécharger et vérifier la mise à jour</translation>
    </message>
    <message>
        <source>Has the server download the available update and verify its signature. Installing it is left to you.</source>
        <translation>Fait télécharger par le serveur la mise à jour disponible et vérifier sa signature. L’installation vous revient.</translation>
    </message>
    <message>
        <source>Delete the downloaded update</source>
        <translation>Supprimer la mise à jour téléchargée</translation>
    </message>
    <message>
        <source>Deletes the update the server downloaded.</source>
        <translation>Supprime la mise à jour que le serveur a téléchargée.</translation>
    </message>
</context>
<context>
    <name>CommandHelp</name>
    <message>
        <source>Every admin action of Tavrin Keldmarch from a terminal: the server, its login service, API keys, models, audit logging, network, org preamble, updates and support bundles, over the same admin API and with the same rules and messages as the panel.</source>
        <translation>Toutes les actions d’administration de Tavrin Keldmarch depuis un terminal&#xa0;: le serveur, son service de connexion, les clés d’API, les modèles, la journalisation d’audit, le réseau, le préambule de l’organisation, les mises à jour et les archives d’assistance, par la même API d’administration et avec les mêmes règles et messages que le panneau de contrôle.</translation>
    </message>
    <message>
        <source>The admin password is found where the panel keeps it: the admin.secret file of the server&apos;s state folder, then the keyring. It goes only to a server of this user&apos;s own, and is never taken from the command line.</source>
        <translation>Le mot de passe administrateur est lu là où le panneau de contrôle le conserve&#xa0;: dans le fichier admin.secret du dossier d’état du serveur, puis dans le trousseau de clés. Il n’est envoyé qu’à un serveur appartenant à cet utilisateur, et n’est jamais pris sur la ligne de commande.</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Options&#xa0;:</translation>
    </message>
    <message>
        <source>Show the version.</source>
        <translation>Afficher la version.</translation>
    </message>
    <message>
        <source>Usage: tavrinctl COMMAND [OPTIONS]</source>
        <extracomment>COMMAND and OPTIONS are placeholders the reader replaces; kept in capitals.</extracomment>
        <translation>Utilisation&#xa0;: tavrinctl COMMAND [OPTIONS]</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Commandes&#xa0;:</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>Code de sortie&#xa0;:</translation>
    </message>
    <message>
        <source>Environment:</source>
        <translation>Environnement&#xa0;:</translation>
    </message>
    <message>
        <source>Run &apos;tavrinctl COMMAND --help&apos; for what a command does and takes.</source>
        <translation>Lancez «&#xa0;tavrinctl COMMAND --help&#xa0;» pour savoir ce que fait une commande et ce qu’elle accepte.</translation>
    </message>
    <message>
        <source>Usage: tavrinctl %1 COMMAND [OPTIONS]</source>
        <extracomment>%1 is a group of commands (&quot;keys&quot;); COMMAND and OPTIONS stay in capitals.</extracomment>
        <translation>Utilisation&#xa0;: tavrinctl %1 COMMAND [OPTIONS]</translation>
    </message>
    <message>
        <source>Run &apos;tavrinctl %1 COMMAND --help&apos; for what a command does and takes.</source>
        <translation>Lancez «&#xa0;tavrinctl %1 COMMAND --help&#xa0;» pour savoir ce que fait une commande et ce qu’elle accepte.</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <extracomment>%1 is the command&apos;s synopsis (&quot;tavrinctl keys create LABEL [--scope inference|readonly]&quot;).</extracomment>
        <translation>Utilisation&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 or %2</source>
        <extracomment>The last of several choices: &quot;%1 or %2&quot; as in &quot;inference, readonly or none&quot;.</extracomment>
        <translation>%1 ou %2</translation>
    </message>
    <message>
        <source>%1 takes a whole number, not &quot;%2&quot;</source>
        <translation>%1 attend un nombre entier, pas «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>%1 takes %2, not &quot;%3&quot;</source>
        <translation>%1 attend %2, pas «&#xa0;%3&#xa0;»</translation>
    </message>
    <message>
        <source>no command &quot;%1&quot;</source>
        <translation>aucune commande «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>option inconnue %1</translation>
    </message>
    <message>
        <source>which command?</source>
        <translation>quelle commande&#xa0;?</translation>
    </message>
    <message>
        <source>no command &quot;%1 %2&quot;</source>
        <translation>aucune commande «&#xa0;%1 %2&#xa0;»</translation>
    </message>
    <message>
        <source>%1 what?</source>
        <translation>%1 quoi&#xa0;?</translation>
    </message>
    <message>
        <source>--%1 takes no value</source>
        <translation>--%1 n’accepte pas de valeur</translation>
    </message>
    <message>
        <source>--%1 needs a value (%2)</source>
        <translation>--%1 demande une valeur (%2)</translation>
    </message>
    <message>
        <source>--%1 is given twice</source>
        <translation>--%1 est indiqué deux fois</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>il manque %1</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>argument inattendu «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>%1 is %2, not &quot;%3&quot;</source>
        <translation>%1 attend %2, pas «&#xa0;%3&#xa0;»</translation>
    </message>
    <message>
        <source>nothing to change: name at least one setting</source>
        <translation>rien à modifier&#xa0;: indiquez au moins un réglage</translation>
    </message>
</context>
<context>
    <name>CompanionModelLocator</name>
    <message>
        <source>Could not create the folder %1. Choose the folder that holds the model with Browse… instead.</source>
        <translation>Impossible de créer le dossier %1. Choisissez plutôt, avec Parcourir…, le dossier qui contient le modèle.</translation>
    </message>
    <message>
        <source>No model.safetensors found in this folder or its ModelResources/ subdirectory.</source>
        <translation>Aucun model.safetensors trouvé dans ce dossier ni dans son sous-dossier ModelResources/.</translation>
    </message>
</context>
<context>
    <name>DaemonClient</name>
    <message>
        <source>%1 seconds</source>
        <translation>%1&#xa0;secondes</translation>
    </message>
    <message>
        <source>The request timed out (no complete answer within %1).</source>
        <translation>La requête a expiré (pas de réponse complète en %1).</translation>
    </message>
    <message>
        <source>The request timed out (no data for %1).</source>
        <translation>La requête a expiré (aucune donnée pendant %1).</translation>
    </message>
    <message>
        <source>non-HTTP response</source>
        <translation>réponse non HTTP</translation>
    </message>
    <message>
        <source>invalid path %1</source>
        <translation>chemin non valide %1</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>Opération annulée</translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n seconde</numerusform>
            <numerusform>%n secondes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DaemonClientError</name>
    <message>
        <source>%1 MiB</source>
        <translation>%1&#xa0;Mio</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1&#xa0;Kio</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch is not reachable: %1</source>
        <translation>Tavrin Keldmarch est injoignable&#xa0;: %1</translation>
    </message>
    <message>
        <source>Could not decode server response: %1</source>
        <translation>Impossible de lire la réponse du serveur&#xa0;: %1</translation>
    </message>
    <message>
        <source>Server returned HTTP %1: %2</source>
        <translation>Le serveur a répondu HTTP %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Admin secret missing or rejected. Set it in Settings.</source>
        <translation>Mot de passe administrateur manquant ou refusé. Définissez-le dans les réglages.</translation>
    </message>
    <message>
        <source>The server&apos;s answer was too large (over %1).</source>
        <translation>La réponse du serveur était trop volumineuse (plus de %1).</translation>
    </message>
    <message numerus="yes">
        <source>%1 byte(s)</source>
        <translation>
            <numerusform>%1 octet</numerusform>
            <numerusform>%1 octets</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DaemonProcessController</name>
    <message>
        <source>the panel is closing</source>
        <translation>le panneau de contrôle se ferme</translation>
    </message>
    <message>
        <source>Could not launch tavrin-server: %1</source>
        <translation>Impossible de lancer tavrin-server&#xa0;: %1</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch is not registered. Re-run setup.</source>
        <translation>Tavrin Keldmarch n’est pas enregistré. Relancez la configuration.</translation>
    </message>
</context>
<context>
    <name>DaemonProcessControllerError</name>
    <message>
        <source>tavrin-server binary not found at %1. Reinstall Tavrin Keldmarch.</source>
        <translation>Programme tavrin-server introuvable dans %1. Réinstallez Tavrin Keldmarch.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at %1. Move it to /opt/tavrin-keldmarch and re-run setup.</source>
        <translation>Tavrin Keldmarch doit être installé dans /opt/tavrin-keldmarch. Il se trouve actuellement dans %1. Déplacez-le dans /opt/tavrin-keldmarch et relancez la configuration.</translation>
    </message>
    <message>
        <source>Could not start the background service: %1</source>
        <translation>Impossible de démarrer le service d’arrière-plan&#xa0;: %1</translation>
    </message>
    <message>
        <source>Could not save the admin password: %1</source>
        <translation>Impossible d’enregistrer le mot de passe administrateur&#xa0;: %1</translation>
    </message>
    <message>
        <source>Could not stop the background service: %1</source>
        <translation>Impossible d’arrêter le service d’arrière-plan&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>DiagnosticsActions</name>
    <message>
        <source>A support bundle needs the admin password: without it, the program answering on the admin port can&apos;t be told from another user&apos;s. Set it in Settings.</source>
        <translation>Une archive d’assistance nécessite le mot de passe administrateur&#xa0;: sans lui, impossible de distinguer le programme qui répond sur le port d’administration de celui d’un autre utilisateur. Définissez-le dans les réglages.</translation>
    </message>
</context>
<context>
    <name>DiagnosticsCommands</name>
    <message>
        <source>New admin password: </source>
        <translation>Nouveau mot de passe administrateur&#xa0;: </translation>
    </message>
    <message>
        <source>no password on standard input</source>
        <translation>aucun mot de passe sur l’entrée standard</translation>
    </message>
</context>
<context>
    <name>EngineCommands</name>
    <message>
        <source>Engine</source>
        <translation>Moteur</translation>
    </message>
    <message>
        <source>built-in echo engine</source>
        <translation>moteur d’écho intégré</translation>
    </message>
    <message>
        <source>OpenAI-compatible at %1</source>
        <translation>compatible OpenAI, à l’adresse %1</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modèle</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Fichier de clé</translation>
    </message>
    <message>
        <source>Timeouts</source>
        <translation>Délais d’attente</translation>
    </message>
    <message>
        <source>%1 s a request, %2 s to connect</source>
        <translation>%1&#xa0;s par requête, %2&#xa0;s pour se connecter</translation>
    </message>
    <message>
        <source>Served as</source>
        <translation>Servi sous le nom</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Répond</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>oui</translation>
    </message>
    <message>
        <source>no</source>
        <translation>non</translation>
    </message>
    <message>
        <source>Model listed</source>
        <translation>Modèle listé</translation>
    </message>
    <message>
        <source>Last error</source>
        <translation>Dernière erreur</translation>
    </message>
    <message>
        <source>Checked</source>
        <translation>Vérifié</translation>
    </message>
    <message>
        <source>--builtin and --%1 contradict each other</source>
        <translation>--builtin et --%1 se contredisent</translation>
    </message>
    <message>
        <source>First token</source>
        <translation>Premier jeton</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1&#xa0;ms</translation>
    </message>
    <message>
        <source>Whole answer</source>
        <translation>Réponse complète</translation>
    </message>
</context>
<context>
    <name>ExportDownload</name>
    <message>
        <source>The export was cancelled.</source>
        <translation>L’export a été annulé.</translation>
    </message>
</context>
<context>
    <name>HardwareProbe</name>
    <message>
        <source>Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected %1 GB.</source>
        <translation>Tavrin Keldmarch est recommandé sur les Mac dotés d’au moins 16&#xa0;Go de RAM. Mémoire détectée&#xa0;: %1&#xa0;Go.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch is recommended on computers with 16 GB RAM or more. Detected %1 GB.</source>
        <translation>Tavrin Keldmarch est recommandé sur les ordinateurs dotés d’au moins 16&#xa0;Go de RAM. Mémoire détectée&#xa0;: %1&#xa0;Go.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch needs a 64-bit computer (x86-64 or ARM64). This one is %1.</source>
        <extracomment>%1 is the machine&apos;s architecture (&quot;armv7l&quot;), or the words &quot;of an unknown architecture&quot;.</extracomment>
        <translation>Tavrin Keldmarch nécessite un ordinateur 64&#xa0;bits (x86-64 ou ARM64). Celui-ci est %1.</translation>
    </message>
    <message>
        <source>of an unknown architecture</source>
        <translation>d’une architecture inconnue</translation>
    </message>
</context>
<context>
    <name>JsonReader</name>
    <message>
        <source>number</source>
        <translation>nombre</translation>
    </message>
    <message>
        <source>number does not fit a 32-bit float</source>
        <translation>nombre trop grand pour un flottant 32&#xa0;bits</translation>
    </message>
    <message>
        <source>string</source>
        <translation>chaîne</translation>
    </message>
    <message>
        <source>bool</source>
        <translation>booléen</translation>
    </message>
    <message>
        <source>integer</source>
        <translation>entier</translation>
    </message>
    <message>
        <source>unknown value &quot;%1&quot;</source>
        <translation>valeur inconnue «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>array</source>
        <translation>tableau</translation>
    </message>
    <message>
        <source>null is not allowed here</source>
        <translation>null n’est pas permis ici</translation>
    </message>
    <message>
        <source>object</source>
        <translation>objet</translation>
    </message>
    <message>
        <source>missing required key</source>
        <translation>clé obligatoire absente</translation>
    </message>
    <message>
        <source>null in a required field</source>
        <translation>null dans un champ obligatoire</translation>
    </message>
    <message>
        <source>empty document</source>
        <translation>document vide</translation>
    </message>
    <message>
        <source>null</source>
        <translation>null</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>rien</translation>
    </message>
    <message>
        <source>invalid JSON</source>
        <translation>JSON non valide</translation>
    </message>
    <message>
        <source>not valid JSON (%1 at offset %2)</source>
        <translation>JSON non valide (%1 à la position %2)</translation>
    </message>
    <message>
        <source>unexpected character</source>
        <translation>caractère inattendu</translation>
    </message>
    <message>
        <source>unexpected end</source>
        <translation>fin inattendue</translation>
    </message>
    <message>
        <source>expected %1, found %2</source>
        <extracomment>%1 and %2 are kinds of JSON value (&quot;string&quot;, &quot;number&quot;, &quot;object&quot;).</extracomment>
        <translation>%1 attendu, %2 trouvé</translation>
    </message>
    <message>
        <source>invalid literal</source>
        <translation>littéral non valide</translation>
    </message>
    <message>
        <source>control character in a string</source>
        <translation>caractère de contrôle dans une chaîne</translation>
    </message>
    <message>
        <source>unterminated string</source>
        <translation>chaîne non terminée</translation>
    </message>
    <message>
        <source>invalid \u escape</source>
        <translation>séquence d’échappement \u non valide</translation>
    </message>
    <message>
        <source>invalid escape</source>
        <translation>séquence d’échappement non valide</translation>
    </message>
    <message>
        <source>invalid UTF-8 in a string</source>
        <translation>UTF-8 non valide dans une chaîne</translation>
    </message>
    <message>
        <source>invalid number</source>
        <translation>nombre non valide</translation>
    </message>
    <message>
        <source>number does not fit a 64-bit integer</source>
        <translation>nombre trop grand pour un entier 64&#xa0;bits</translation>
    </message>
    <message>
        <source>expected an integer, found %1</source>
        <translation>entier attendu, %1 trouvé</translation>
    </message>
    <message>
        <source>number does not fit a 64-bit float</source>
        <translation>nombre trop grand pour un flottant 64&#xa0;bits</translation>
    </message>
    <message>
        <source>nesting too deep</source>
        <translation>imbrication trop profonde</translation>
    </message>
    <message>
        <source>expected , or } in an object</source>
        <translation>, ou } attendu dans un objet</translation>
    </message>
    <message>
        <source>expected a key</source>
        <translation>clé attendue</translation>
    </message>
    <message>
        <source>expected :</source>
        <translation>: attendu</translation>
    </message>
    <message>
        <source>expected , or ] in an array</source>
        <translation>, ou ] attendu dans un tableau</translation>
    </message>
    <message>
        <source>unexpected text after the document</source>
        <translation>texte inattendu après le document</translation>
    </message>
</context>
<context>
    <name>KeyActions</name>
    <message>
        <source>A key needs a label.</source>
        <translation>Une clé doit avoir un libellé.</translation>
    </message>
</context>
<context>
    <name>KeyCommands</name>
    <message>
        <source>No key has the id or label %1.</source>
        <translation>Aucune clé n’a l’id ou le libellé %1.</translation>
    </message>
    <message>
        <source>Key %1 made (id %2). The server shows its secret only this once.</source>
        <translation>Clé %1 créée (id %2). Le serveur ne montre son secret que cette seule fois.</translation>
    </message>
    <message>
        <source>%1 (id %2)</source>
        <translation>%1 (id %2)</translation>
    </message>
    <message>
        <source>Key %1 has a new secret; the old one no longer works. The server shows it only this once.</source>
        <translation>La clé %1 a un nouveau secret&#xa0;; l’ancien ne fonctionne plus. Le serveur ne le montre que cette seule fois.</translation>
    </message>
    <message>
        <source>Key %1 revoked.</source>
        <translation>Clé %1 révoquée.</translation>
    </message>
    <message>
        <source>Key %1 deleted.</source>
        <translation>Clé %1 supprimée.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <extracomment>A key&apos;s label in quotation marks, as the language writes them: “ci”, „ci“, « ci ».</extracomment>
        <translation>«&#xa0;%1&#xa0;»</translation>
    </message>
    <message numerus="yes">
        <source>%n keys have the label %1; name one by its id: %2.</source>
        <translation>
            <numerusform>%n clé porte le libellé %1&#xa0;; désignez-la par son identifiant&#xa0;: %2.</numerusform>
            <numerusform>%n clés portent le libellé %1&#xa0;; désignez-en une par son identifiant&#xa0;: %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Keyring</name>
    <message>
        <source>Keyring write failed (%1)</source>
        <translation>Échec de l’écriture dans le trousseau de clés (%1)</translation>
    </message>
</context>
<context>
    <name>ListenerOwners</name>
    <message>
        <source>the socket table ended early</source>
        <translation>la table des sockets s’est terminée trop tôt</translation>
    </message>
    <message>
        <source>Cannot tell whose program is listening on %1 (%2). The admin password was not sent.</source>
        <translation>Impossible de savoir à qui appartient le programme qui écoute sur %1 (%2). Le mot de passe administrateur n’a pas été envoyé.</translation>
    </message>
    <message>
        <source>Connection refused</source>
        <translation>Connexion refusée</translation>
    </message>
    <message>
        <source>Another user&apos;s program is listening on %1. The admin password was not sent.</source>
        <translation>Le programme d’un autre utilisateur écoute sur %1. Le mot de passe administrateur n’a pas été envoyé.</translation>
    </message>
</context>
<context>
    <name>RecordText</name>
    <message>
        <source>none</source>
        <translation>néant</translation>
    </message>
    <message>
        <source>%1 (%2, sha256 %3, imported %4)</source>
        <translation>%1 (%2, sha256 %3, importé le %4)</translation>
    </message>
    <message>
        <source>on</source>
        <translation>oui</translation>
    </message>
    <message>
        <source>off</source>
        <translation>non</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>running</source>
        <translation>en marche</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>%1 (pid %2)</source>
        <translation>%1 (pid %2)</translation>
    </message>
    <message>
        <source>Uptime</source>
        <translation>En service depuis</translation>
    </message>
    <message>
        <source>Endpoint</source>
        <translation>Point d’accès</translation>
    </message>
    <message>
        <source>LAN endpoint</source>
        <translation>Point d’accès LAN</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modèle</translation>
    </message>
    <message>
        <source>%1 (sha256 %2)</source>
        <translation>%1 (sha256 %2)</translation>
    </message>
    <message>
        <source>none loaded</source>
        <translation>aucun chargé</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>%1 in flight, %2 queued (at most %3 at once), %4 done</source>
        <translation>%1 en cours, %2 en attente (%3 au plus à la fois), %4 terminées</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Démarrage à la connexion</translation>
    </message>
    <message>
        <source>State folder</source>
        <translation>Dossier d’état</translation>
    </message>
    <message>
        <source>Audit</source>
        <translation>Journal d’audit</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LABEL</source>
        <translation>LIBELLÉ</translation>
    </message>
    <message>
        <source>SCOPES</source>
        <translation>PORTÉES</translation>
    </message>
    <message>
        <source>STATUS</source>
        <translation>ÉTAT</translation>
    </message>
    <message>
        <source>REQUESTS</source>
        <translation>REQUÊTES</translation>
    </message>
    <message>
        <source>LAST USED</source>
        <translation>DERNIÈRE UTILISATION</translation>
    </message>
    <message>
        <source>never</source>
        <translation>jamais</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Retention</source>
        <translation>Conservation</translation>
    </message>
    <message>
        <source>Contents in support bundles</source>
        <translation>Contenu dans les archives d’assistance</translation>
    </message>
    <message>
        <source>LAN</source>
        <translation>Réseau local</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Hôte</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>mDNS name</source>
        <translation>Nom mDNS</translation>
    </message>
    <message>
        <source>CORS origins</source>
        <translation>Origines CORS</translation>
    </message>
    <message>
        <source>IP allowlist</source>
        <translation>Liste d’autorisation IP</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>En service</translation>
    </message>
    <message>
        <source>Staged</source>
        <translation>Préparé</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Redémarrage</translation>
    </message>
    <message>
        <source>needed to load the production model</source>
        <translation>nécessaire pour charger le modèle de production</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Mises à jour</translation>
    </message>
    <message>
        <source>on, %1 channel</source>
        <translation>oui, canal %1</translation>
    </message>
    <message>
        <source>Last checked</source>
        <translation>Dernière vérification</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Disponible</translation>
    </message>
    <message>
        <source>%1, released %2</source>
        <translation>%1, publiée le %2</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Téléchargée</translation>
    </message>
    <message>
        <source>Last error</source>
        <translation>Dernière erreur</translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n jour</numerusform>
            <numerusform>%n jours</numerusform>
        </translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <extracomment>Server uptime: %1 whole hours, %2 minutes.</extracomment>
        <translation>%1&#xa0;h %2&#xa0;min</translation>
    </message>
</context>
<context>
    <name>ServerActions</name>
    <message>
        <source> Re-run setup from Diagnostics → Re-run setup.</source>
        <translation> Relancez la configuration depuis Diagnostic → Relancer la configuration.</translation>
    </message>
</context>
<context>
    <name>ServiceCommands</name>
    <message>
        <source>stopped</source>
        <translation>arrêté</translation>
    </message>
    <message>
        <source>unauthenticated</source>
        <translation>non authentifié</translation>
    </message>
    <message>
        <source>error</source>
        <translation>erreur</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Démarrage à la connexion</translation>
    </message>
    <message>
        <source>The server was started but has not answered yet; its errors go to %1 (or, at login, to the user journal).</source>
        <translation>Le serveur a été démarré mais n’a pas encore répondu&#xa0;; ses erreurs vont dans %1 (ou, au démarrage à la connexion, dans le journal utilisateur).</translation>
    </message>
</context>
<context>
    <name>ServiceManager</name>
    <message>
        <source>Could not run %1</source>
        <translation>Impossible d’exécuter %1</translation>
    </message>
    <message>
        <source>%1 exited %2</source>
        <extracomment>%1 is a program (&quot;systemctl&quot;), %2 its exit status.</extracomment>
        <translation>%1 s’est terminé avec le code %2</translation>
    </message>
</context>
<context>
    <name>SettingsActions</name>
    <message>
        <source>%1 / %2 characters: the preamble is too long.</source>
        <translation>%1 / %2 caractères&#xa0;: le préambule est trop long.</translation>
    </message>
</context>
<context>
    <name>SettingsCommands</name>
    <message>
        <source>standard output: %1</source>
        <translation>sortie standard&#xa0;: %1</translation>
    </message>
    <message>
        <source>prompt contents go into the jsonl export only</source>
        <translation>le contenu des prompts ne va que dans l’export jsonl</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 enregistré</translation>
    </message>
    <message>
        <source>the output could not be written</source>
        <translation>la sortie n’a pas pu être écrite</translation>
    </message>
    <message>
        <source>--mdns and --no-mdns contradict each other</source>
        <translation>--mdns et --no-mdns se contredisent</translation>
    </message>
</context>
<context>
    <name>SystemdBus</name>
    <message>
        <source>the control process exited with error code</source>
        <translation>le processus de contrôle s’est terminé avec un code d’erreur</translation>
    </message>
    <message>
        <source>a fatal signal was delivered to the control process</source>
        <translation>un signal fatal a été envoyé au processus de contrôle</translation>
    </message>
    <message>
        <source>a fatal signal was delivered causing the control process to dump core</source>
        <translation>un signal fatal a provoqué un vidage mémoire du processus de contrôle</translation>
    </message>
    <message>
        <source>a timeout was exceeded</source>
        <translation>un délai a été dépassé</translation>
    </message>
    <message>
        <source>of unavailable resources or another system error</source>
        <translation>des ressources manquaient ou une autre erreur système s’est produite</translation>
    </message>
    <message>
        <source>start of the service was attempted too often</source>
        <translation>le démarrage du service a été tenté trop souvent</translation>
    </message>
    <message>
        <source>Job for %1 failed.</source>
        <translation>La tâche pour %1 a échoué.</translation>
    </message>
    <message>
        <source>Job for %1 failed because %2.</source>
        <translation>La tâche pour %1 a échoué, car %2.</translation>
    </message>
    <message>
        <source>Job for %1 canceled.</source>
        <translation>La tâche pour %1 a été annulée.</translation>
    </message>
    <message>
        <source>Job for %1 timed out.</source>
        <translation>La tâche pour %1 a expiré.</translation>
    </message>
    <message>
        <source>A dependency job for %1 failed.</source>
        <translation>Une tâche dont dépend %1 a échoué.</translation>
    </message>
    <message>
        <source>Job for %1 ended as %2.</source>
        <translation>La tâche pour %1 s’est terminée avec le résultat %2.</translation>
    </message>
    <message>
        <source>The user manager went away before it answered.</source>
        <translation>Le gestionnaire de services utilisateur a disparu avant de répondre.</translation>
    </message>
    <message>
        <source>The user manager did not answer in time.</source>
        <translation>Le gestionnaire de services utilisateur n’a pas répondu à temps.</translation>
    </message>
    <message>
        <source>Failed to enable unit: </source>
        <translation>Impossible d’activer l’unité&#xa0;: </translation>
    </message>
    <message>
        <source>Failed to disable unit: </source>
        <translation>Impossible de désactiver l’unité&#xa0;: </translation>
    </message>
    <message>
        <source>Failed to %1 %2: %3</source>
        <translation>Échec de l’action %1 sur %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>Job for %1 did not end in time.</source>
        <translation>La tâche pour %1 ne s’est pas terminée à temps.</translation>
    </message>
</context>
<context>
    <name>TavrinServerApp</name>
    <message>
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Tavrin server stopped</source>
        <translation>Serveur Tavrin arrêté</translation>
    </message>
    <message>
        <source>It stopped without being asked to. Start it again, or open Tavrin Keldmarch to see why.</source>
        <translation>Il s’est arrêté sans qu’on le lui demande. Redémarrez-le, ou ouvrez Tavrin Keldmarch pour en voir la raison.</translation>
    </message>
    <message>
        <source>Start server</source>
        <translation>Démarrer le serveur</translation>
    </message>
    <message>
        <source>Open Tavrin Keldmarch</source>
        <translation>Ouvrir Tavrin Keldmarch</translation>
    </message>
    <message>
        <source>Tavrin server is running again</source>
        <translation>Le serveur Tavrin fonctionne de nouveau</translation>
    </message>
    <message>
        <source>It came back by itself.</source>
        <translation>Il a redémarré de lui-même.</translation>
    </message>
    <message>
        <source>Update available: %1</source>
        <translation>Mise à jour disponible&#xa0;: %1</translation>
    </message>
    <message>
        <source>Download and verify it on the Updates tab.</source>
        <translation>Téléchargez-la et vérifiez-la dans l’onglet «&#xa0;Mises à jour&#xa0;».</translation>
    </message>
    <message>
        <source>Open Updates</source>
        <translation>Ouvrir les mises à jour</translation>
    </message>
    <message>
        <source>Show Status Panel</source>
        <translation>Afficher le panneau d’état</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Control panel of the local Tavrin inference server.</source>
        <translation>Panneau de contrôle du serveur d’inférence Tavrin local.</translation>
    </message>
    <message>
        <source>Render every screen to PNG files in DIR, then exit.</source>
        <translation>Enregistrer chaque écran en fichier PNG dans DIR, puis quitter.</translation>
    </message>
    <message>
        <source>Judge a simulated machine instead of this one, e.g. &quot;Apple M3 Max:36&quot; (brand:GiB).</source>
        <translation>Évaluer une machine simulée au lieu de celle-ci, par exemple «&#xa0;Apple M3 Max:36&#xa0;» (marque:Gio).</translation>
    </message>
</context>
<context>
    <name>tavrinctl</name>
    <message>
        <source>Try &apos;%1&apos;.</source>
        <translation>Essayez «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>TAVRIN_ADMIN_PORT is no port: &quot;%1&quot;</source>
        <translation>TAVRIN_ADMIN_PORT n’est pas un port&#xa0;: «&#xa0;%1&#xa0;»</translation>
    </message>
</context>
</TS>
