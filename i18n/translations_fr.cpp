#include "i18n/translations.h"

namespace i18n::detail {

// French interface texts. A colon, question mark or semicolon gets a blank before it, as French typesetting
// wants. Translations are plain ASCII (accents are dropped) and keep every %1..%9 in order.
const LanguageTexts &frenchTexts()
{
    static const LanguageTexts texts{
        {
            // Menu titles (they carry their accelerator)
            {"File", "&Fichier"},
            {"Graph", "&Graphique"},
            {"Edit", "&Edition"},
            {"Language", "&Langue"},
            {"Info", "&Infos"},

            // File menu
            {"Import source...", "Importer la source..."},
            {"Replace picture...", "Remplacer l'image..."},
            {"Close project", "Fermer le projet"},
            {"Recent files", "Fichiers recents"},
            {"No recent files", "Aucun fichier recent"},
            {"Clear recent files", "Effacer la liste des fichiers recents"},
            {"Save", "Enregistrer"},
            {"Open from database...", "Ouvrir depuis une base de donnees..."},
            {"Save to database...", "Enregistrer dans une base de donnees..."},
            {"A project named \"%1\" already exists in this database. Replace it?",
             "Un projet nomme \"%1\" existe deja dans cette base de donnees. Le remplacer ?"},
            {"Export CSV...", "Exporter en CSV..."},
            {"Export SVG...", "Exporter en SVG..."},
            {"Export Excel...", "Exporter vers Excel..."},
            {"Exit", "Quitter"},

            // Graph, Edit and Info menus
            {"Regenerated graph...", "Graphique regenere..."},
            {"Undo last point", "Annuler le dernier point"},
            {"Program information...", "Informations sur le programme..."},

            // Tool bar
            {"Tools", "Outils"},
            {"Graph points", "Points du graphique"},
            {"Calibrate X", "Calibrer X"},
            {"Calibrate Y", "Calibrer Y"},
            {"Orthogonal axes", "Axes orthogonaux"},
            {"Keep calibration axes horizontal and vertical. Turn this off only for tilted source images.",
             "Garde les axes de calibration a l'horizontale et a la verticale. Desactivez cette option "
             "uniquement pour les images sources inclinees."},
            {"Delete point", "Supprimer le point"},
            {"Visible points", "Points visibles"},
            {"Page:", "Page :"},
            {"DPI:", "PPP :"},

            // Curves dock
            {"Curves", "Courbes"},
            {"Active curve points", "Points de la courbe active"},
            {"Add", "Ajouter"},
            {"Remove", "Supprimer"},
            {"Name", "Nom"},
            {"Parameter", "Parametre"},
            {"Value", "Valeur"},
            {"Remove the selected curve and all its points?",
             "Supprimer la courbe selectionnee et tous ses points ?"},
            {"Remove curve", "Supprimer la courbe"},

            // Status bar of the main window
            {"Import an image or PDF to begin.", "Importez une image ou un PDF pour commencer."},
            {"Calibration complete. Point mode is active.",
             "Calibration terminee. Le mode points est actif."},
            {"Calibration required: calibrate the Y axis.", "Calibration requise : calibrez l'axe Y."},
            {"Calibration required: calibrate the X axis first.",
             "Calibration requise : calibrez d'abord l'axe X."},
            {"Last inserted point undone.", "Dernier point insere annule."},
            {"There is no point insertion to undo.", "Aucun ajout de point a annuler."},
            {"Project closed.", "Projet ferme."},
            {"Project saved to database.", "Projet enregistre dans la base de donnees."},
            {"Database ready for the current project.", "Base de donnees prete pour le projet en cours."},

            // Dialogs of the main window
            {"Import graph", "Importer un graphique"},
            {"Plotmason database (*.pmdb *.sqlite)", "Base de donnees Plotmason (*.pmdb *.sqlite)"},
            {"All files (*.*)", "Tous les fichiers (*.*)"},
            {"Project name", "Nom du projet"},
            {"Project name in database:", "Nom du projet dans la base de donnees :"},
            {"Project", "Projet"},
            {"Open Plotmason database", "Ouvrir une base de donnees Plotmason"},
            {"Open project", "Ouvrir un projet"},
            {"Project:", "Projet :"},
            {"No Plotmason projects found in this database. Use it for the current project?",
             "Aucun projet Plotmason dans cette base de donnees. L'utiliser pour le projet en cours ?"},
            // Importing from a PDF page's drawing
            {"The project's source is not a PDF.", "La source du projet n'est pas un PDF."},
            {"This PDF page holds no vector drawing.", "Cette page PDF ne contient aucun dessin vectoriel."},
            {"No drawn path passes near %1, %2 on the PDF page.",
             "Aucun trace dessine ne passe pres de %1, %2 sur la page PDF."},
            {"Complete X and Y axis calibration before adding points or exporting.",
             "Terminez la calibration des axes X et Y avant d'ajouter des points ou d'exporter."},
            {"Complete X and Y axis calibration before using the regenerated graph.",
             "Terminez la calibration des axes X et Y avant d'utiliser le graphique regenere."},
            {"Export CSV", "Exporter en CSV"},
            {"Export SVG", "Exporter en SVG"},
            {"Export Excel", "Exporter vers Excel"},
            {"How many points should be generated for each curve? If the number is greater than the acquired "
             "points, they will be interpolated on the spline.",
             "Combien de points generer pour chaque courbe ? Si ce nombre depasse celui des points acquis, "
             "ils seront interpoles sur la spline."},
            {"Excel workbook (*.xlsx)", "Classeur Excel (*.xlsx)"},
            {"Save changes", "Enregistrer les modifications"},
            {"The project has unsaved changes. Save them before continuing?",
             "Le projet contient des modifications non enregistrees. Les enregistrer avant de continuer ?"},
            {"Discard", "Ne pas enregistrer"},
            {"Cancel", "Annuler"},
            {"Yes", "Oui"},
            {"No", "Non"},
            {"Close", "Fermer"},

            // Calibration values
            {"The X and Y axis lines must intersect at the graph origin. Extend or recalibrate the axis that "
             "does not reach zero.",
             "Les droites des axes X et Y doivent se couper a l'origine du graphique. Prolongez ou "
             "recalibrez l'axe qui n'atteint pas zero."},
            {"The axis origin is too close to an axis endpoint. Select a longer calibration segment.",
             "L'origine des axes est trop proche d'une extremite d'axe. Selectionnez un segment de "
             "calibration plus long."},

            // Digitizing view
            {"Click: add a point or select one of the active curve. Ctrl+click: select a point of any curve. "
             "Drag: move point. Shift+drag: select points. Del: delete. Ctrl+Z: undo. Wheel: zoom. Middle "
             "click: pan."
             " Ctrl+PgDn/PgUp: next/previous curve.",
             "Clic : ajouter un point ou selectionner un point de la courbe active. Ctrl+clic : selectionner "
             "un point de n'importe quelle courbe. Glisser : deplacer le point. Maj+glisser : selectionner "
             "des "
             "points. Suppr : supprimer. Ctrl+Z : annuler. Molette : zoom. Clic milieu : deplacer la vue."
             " Ctrl+PgSuiv/PgPrec : courbe suivante/precedente."},
            {"Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical.",
             "Selectionnez deux points sur l'axe. Le mode orthogonal garde X horizontal et Y vertical."},
            {"Select two points on the axis. Tilted axes are allowed.",
             "Selectionnez deux points sur l'axe. Les axes inclines sont autorises."},
            {"Orthogonal axis calibration enabled.", "Calibration a axes orthogonaux activee."},
            {"Tilted axis calibration enabled.", "Calibration a axes inclines activee."},
            {"First reference acquired; move the mouse or use arrow keys, then click or press Enter to "
             "confirm.",
             "Premiere reference acquise ; deplacez la souris ou utilisez les fleches, puis cliquez ou "
             "appuyez sur Entree pour confirmer."},
            {"Point selected. Drag, use arrow keys, edit values, or press Del to delete it.",
             "Point selectionne. Faites-le glisser, utilisez les fleches, modifiez les valeurs ou appuyez "
             "sur Suppr pour le supprimer."},
            {"Point added to the active curve.", "Point ajoute a la courbe active."},
            {"Point deleted.", "Point supprime."},
            {"Calibration point selection cancelled.", "Selection du point de calibration annulee."},
            {"First calibration point moved with keyboard. Select the second point to confirm the axis.",
             "Premier point de calibration deplace au clavier. Selectionnez le second point pour confirmer "
             "l'axe."},
            {"Point moved with keyboard.", "Point deplace au clavier."},

            // Program information and the update check
            {"Program information", "Informations sur le programme"},
            {"Program name:", "Nom du programme :"},
            {"Installed version:", "Version installee :"},
            {"Online version:", "Version en ligne :"},
            {"Compilation year:", "Annee de compilation :"},
            {"Website:", "Site web :"},
            {"Suggestions:", "Suggestions :"},
            {"Version:", "Version :"},
            {"Status:", "Statut :"},
            {"Language:", "Langue :"},
            {"Checking online version...", "Verification de la version en ligne..."},
            {"Checking...", "Verification..."},
            {"Update", "Mettre a jour"},
            {"Update available", "Mise a jour disponible"},
            {"A new version %1 is available. Download and install it now?",
             "Une nouvelle version %1 est disponible. La telecharger et l'installer maintenant ?"},
            {"You are using the latest version.", "Vous utilisez la derniere version."},
            {"Could not check for updates.", "Impossible de rechercher des mises a jour."},
            {"Downloading update...", "Telechargement de la mise a jour..."},
            {"The downloaded installer is damaged (checksum mismatch) and was deleted.",
             "Le programme d'installation telecharge etait endommage (somme de controle incorrecte) et a ete "
             "supprime."},
            {"Could not download the update.", "Impossible de telecharger la mise a jour."},
            {"Could not start the installer.", "Impossible de lancer le programme d'installation."},

            // Regenerated graph window
            {"Regenerated graph", "Graphique regenere"},
            {"View", "Affichage"},
            {"Zoom in", "Zoom avant"},
            {"Zoom out", "Zoom arriere"},
            {"Fit", "Ajuster"},
            {"Graph settings", "Parametres du graphique"},
            {"Title", "Titre"},
            {"X axis", "Axe X"},
            {"Y axis", "Axe Y"},
            {"Show title", "Afficher le titre"},
            {"Show original blueprint", "Afficher l'image d'origine"},
            {"Blueprint opacity", "Opacite de l'image d'origine"},
            {"Regenerated graph opacity", "Opacite du graphique regenere"},
            {"Axis limits", "Limites des axes"},
            {"X min", "X minimum"},
            {"X max", "X maximum"},
            {"Y min", "Y minimum"},
            {"Y max", "Y maximum"},
            {"X logarithmic", "X logarithmique"},
            {"Y logarithmic", "Y logarithmique"},
            {"Auto-scale axes", "Mise a l'echelle automatique des axes"},
            {"Show grid", "Afficher la grille"},
            {"Grid divisions", "Divisions de la grille"},
            {"Lock proportions", "Verrouiller les proportions"},
            {"Keep width and height proportional when one value changes.",
             "Garde la largeur et la hauteur proportionnelles quand l'une des valeurs change."},
            {"Output size", "Taille de sortie"},
            {"Width cm", "Largeur cm"},
            {"Height cm", "Hauteur cm"},
            {"Export DPI", "PPP d'exportation"},
            {"Axis decimals", "Decimales des axes"},
            {"At %1 DPI: %2 x %3 px. Increase cm or DPI for more JPG detail.",
             "A %1 PPP : %2 x %3 px. Augmentez les cm ou les PPP pour un JPG plus detaille."},
            {"Text and fonts", "Texte et polices"},
            {"Text font...", "Police du texte..."},
            {"Axis value font...", "Police des valeurs des axes..."},
            {"Axis value font", "Police des valeurs des axes"},
            {"Select the title or a label in the regenerated graph first.",
             "Selectionnez d'abord le titre ou une etiquette dans le graphique regenere."},
            {"Curve style", "Style des courbes"},
            {"Curve", "Courbe"},
            {"Color", "Couleur"},
            {"Width", "Epaisseur"},
            {"Labels", "Etiquettes"},
            {"Text", "Texte"},
            {"Font", "Police"},
            {"Label %1", "Etiquette %1"},
            {"Exports", "Exportations"},
            {"Export PDF", "Exporter en PDF"},
            {"Export JPG", "Exporter en JPG"},

            // Regenerated graph exports
            {"Export graph PDF", "Exporter le graphique en PDF"},
            {"Export graph JPG", "Exporter le graphique en JPG"},
            {"Export graph SVG", "Exporter le graphique en SVG"},
            {"Export graph Excel", "Exporter le graphique vers Excel"},
            {"Could not save the PDF.", "Impossible d'enregistrer le PDF."},
            {"Could not save the JPG.", "Impossible d'enregistrer le JPG."},
            {"Could not save the SVG.", "Impossible d'enregistrer le SVG."},
            {"Invalid axes. For logarithmic scale, minimum values must be > 0.",
             "Axes non valides. En echelle logarithmique, les valeurs minimales doivent etre > 0."},

            // Tool tips of the main window's commands
            {"Open a picture or a PDF page to digitize.", "Ouvrir une image ou une page PDF a numeriser."},
            {"Close the project and start again with an empty one.",
             "Fermer le projet et recommencer avec un projet vide."},
            {"Save the project to its database.", "Enregistrer le projet dans sa base de donnees."},
            {"Open a project stored in a Plotmason database.",
             "Ouvrir un projet stocke dans une base de donnees Plotmason."},
            {"Store the project under a name in a Plotmason database.",
             "Enregistrer le projet sous un nom dans une base de donnees Plotmason."},
            {"Write the points of all curves to a CSV file.",
             "Ecrire les points de toutes les courbes dans un fichier CSV."},
            {"Write the curves as SVG polylines.", "Ecrire les courbes sous forme de polylignes SVG."},
            {"Write the curves to an Excel workbook.", "Ecrire les courbes dans un classeur Excel."},
            {"Close Plotmason.", "Quitter Plotmason."},
            {"Redraw the digitized curves as a clean plot.",
             "Redessiner les courbes numerisees sous forme de graphique net."},
            {"Remove the point added last.", "Retirer le dernier point ajoute."},
            {"Click to add, select and drag points of the active curve.",
             "Cliquer pour ajouter, selectionner et deplacer les points de la courbe active."},
            {"Mark two points on the X axis and give its maximum value.",
             "Marquer deux points sur l'axe X et indiquer sa valeur maximale."},
            {"Mark two points on the Y axis and give its maximum value.",
             "Marquer deux points sur l'axe Y et indiquer sa valeur maximale."},
            {"Delete the selected point.", "Supprimer le point selectionne."},
            {"Show or hide the source picture.", "Afficher ou masquer l'image source."},
            {"Show or hide the calibrated axes.", "Afficher ou masquer les axes calibres."},
            {"Show or hide the curves and their points.", "Afficher ou masquer les courbes et leurs points."},
            {"Page of the PDF to digitize.", "Page du PDF a numeriser."},
            {"Resolution at which PDF pages are rendered.", "Resolution de rendu des pages PDF."},
            {"Add a new curve.", "Ajouter une nouvelle courbe."},
            {"Remove the selected curve.", "Supprimer la courbe selectionnee."},
            {"Show the program version and the contact links.",
             "Afficher la version du programme et les liens de contact."},
            {"Choose the language of the interface.", "Choisir la langue de l'interface."},
            {"Open a project used recently.", "Ouvrir un projet utilise recemment."},
            {"Double-click a name, parameter or value to edit it.",
             "Double-cliquez sur un nom, un parametre ou une valeur pour le modifier."},
            {"Double-click x or y to type the real coordinates of a point.",
             "Double-cliquez sur x ou y pour saisir les coordonnees reelles d'un point."},

            // Tool tips of the regenerated graph window
            {"Fit the whole graph into the view.", "Ajuster le graphique entier a la vue."},
            {"Draw the source picture under the plot.", "Dessiner l'image source sous le graphique."},
            {"Opacity of the source picture under the plot.", "Opacite de l'image source sous le graphique."},
            {"Opacity of the redrawn curves, grid and texts.",
             "Opacite des courbes, de la grille et des textes redessines."},
            {"Number of grid divisions and tick values on each axis.",
             "Nombre de divisions de la grille et de graduations sur chaque axe."},
            {"Decimals of the tick values.", "Decimales des valeurs de graduation."},
            {"Resolution of the exported pictures.", "Resolution des images exportees."},
            {"Font of the selected title or label.", "Police du titre ou de l'etiquette selectionnes."},
            {"Font of the tick values.", "Police des valeurs de graduation."},
            {"Add a text label to the graph.", "Ajouter une etiquette de texte au graphique."},
            {"Remove the selected label.", "Supprimer l'etiquette selectionnee."},
            {"Save the graph as a PDF page.", "Enregistrer le graphique sous forme de page PDF."},
            {"Save the graph as a JPG picture.", "Enregistrer le graphique sous forme d'image JPG."},
            {"Save the graph as an SVG drawing.", "Enregistrer le graphique sous forme de dessin SVG."},
            {"Drag the title and the labels to move them; the wheel zooms, the middle button pans.",
             "Faites glisser le titre et les etiquettes pour les deplacer ; la molette zoome, le bouton du "
             "milieu deplace la vue."},
            {"Double-click a colour to change it.", "Double-cliquez sur une couleur pour la changer."},
            {"Line width in pixels.", "Epaisseur du trait en pixels."},
            {"Rotation in degrees.", "Rotation en degres."},

            // Choosers of the regenerated graph window
            {"Curve color", "Couleur de la courbe"},
            {"Label color", "Couleur de l'etiquette"},
            {"Label font", "Police de l'etiquette"},
            {"Text font", "Police du texte"},
            {"Title font", "Police du titre"},
            {"New label", "Nouvelle etiquette"},

            // Update check, further texts
            {"Update check", "Recherche de mises a jour"},
            {"Checking for updates...", "Recherche de mises a jour..."},
            {"Not available", "Non disponible"},
            {"Download", "Telecharger"},
            {"Later", "Plus tard"},
            {"Downloaded %1 of %2 KB.", "%1 Ko telecharges sur %2 Ko."},
            {"Version %1 is available.", "La version %1 est disponible."},
            {"The installer is starting; Plotmason will now close.",
             "Le programme d'installation demarre ; Plotmason va se fermer."},
            {"Open the website in the browser.", "Ouvrir le site web dans le navigateur."},
            {"Write an e-mail with your suggestions.", "Ecrire un e-mail avec vos suggestions."},

            // Column tool tips of the curves and points tables
            {"Name of the curve.", "Nom de la courbe."},
            {"Name of the parameter that tells the curves of a family apart.",
             "Nom du parametre qui distingue les courbes d'une famille."},
            {"Parameter value of this curve.", "Valeur du parametre pour cette courbe."},
            {"Show the curve in the view.", "Afficher la courbe dans la vue."},
            {"Number of points of the curve.", "Nombre de points de la courbe."},
            {"Real coordinates in axis units.", "Coordonnees reelles en unites des axes."},
            {"Position in pixels on the source picture.", "Position en pixels sur l'image source."},

            // Status texts after commands of the main window
            {"Project opened from database.", "Projet ouvert depuis la base de donnees."},
            {"CSV file exported.", "Fichier CSV exporte."},
            {"SVG file exported.", "Fichier SVG exporte."},
            {"Excel workbook exported.", "Classeur Excel exporte."},
            {"Source loaded.", "Source chargee."},
            {"Recent files cleared.", "Liste des fichiers recents effacee."},
            {"Curve added.", "Courbe ajoutee."},
            {"Curve removed.", "Courbe supprimee."},
            {"Select a curve first.", "Selectionnez d'abord une courbe."},
            {"The values must be numbers.", "Les valeurs doivent etre des nombres."},
            {"The file of this recent project no longer exists.",
             "Le fichier de ce projet recent n'existe plus."},
            {"X axis calibrated.", "Axe X calibre."},
            {"Y axis calibrated.", "Axe Y calibre."},
            {"Axes re-anchored at the graph origin.", "Axes recales sur l'origine du graphique."},

            // Control tool tips of the regenerated graph window
            {"Enlarge the graph.", "Agrandir le graphique."},
            {"Shrink the graph.", "Reduire le graphique."},
            {"Text of the graph title.", "Texte du titre du graphique."},
            {"Label of the X axis.", "Libelle de l'axe X."},
            {"Label of the Y axis.", "Libelle de l'axe Y."},
            {"Draw the title above the plot.", "Dessiner le titre au-dessus du graphique."},
            {"Smallest value of the X axis.", "Plus petite valeur de l'axe X."},
            {"Largest value of the X axis.", "Plus grande valeur de l'axe X."},
            {"Smallest value of the Y axis.", "Plus petite valeur de l'axe Y."},
            {"Largest value of the Y axis.", "Plus grande valeur de l'axe Y."},
            {"Use a logarithmic scale on the X axis.", "Utiliser une echelle logarithmique sur l'axe X."},
            {"Use a logarithmic scale on the Y axis.", "Utiliser une echelle logarithmique sur l'axe Y."},
            {"Draw grid lines inside the plot.", "Dessiner les lignes de la grille dans le graphique."},
            {"Width of the exported graph in centimetres.", "Largeur du graphique exporte en centimetres."},
            {"Height of the exported graph in centimetres.", "Hauteur du graphique exporte en centimetres."},
            {"Show the curve in the regenerated graph.", "Afficher la courbe dans le graphique regenere."},
            {"Show the label in the graph.", "Afficher l'etiquette dans le graphique."},
            {"Text of the label.", "Texte de l'etiquette."},
            {"Double-click to choose the font.", "Double-cliquez pour choisir la police."},
            {"Write the curves, resampled on their splines, to an Excel workbook.",
             "Ecrire les courbes, reechantillonnees sur leurs splines, dans un classeur Excel."},

            // Status texts of the regenerated graph window
            {"Graph exported as PDF.", "Graphique exporte en PDF."},
            {"Graph exported as JPG.", "Graphique exporte en JPG."},
            {"Graph exported as SVG.", "Graphique exporte en SVG."},
            {"No curve has points to draw.", "Aucune courbe n'a de points a dessiner."},
            {"Label added.", "Etiquette ajoutee."},
            {"Label removed.", "Etiquette supprimee."},
            {"Select a label first.", "Selectionnez d'abord une etiquette."},
            {"Zoom: %1%", "Zoom : %1 %"},

            // Update check and downloads, further texts
            {"No update is available.", "Aucune mise a jour disponible."},
            {"The update service did not answer.", "Le service de mise a jour n'a pas repondu."},
            {"Download and install", "Telecharger et installer"},
            {"Install update", "Installer la mise a jour"},
            {"Checksum verified. Starting the installer...",
             "Somme de controle verifiee. Lancement du programme d'installation..."},
            {"Verifying the download...", "Verification du telechargement..."},
            {"Download cancelled.", "Telechargement annule."},
            {"Retry", "Reessayer"},
            {"Open website", "Ouvrir le site web"},
            {"Send suggestions", "Envoyer des suggestions"},
            {"Could not open the link.", "Impossible d'ouvrir le lien."},

            // Calibration values
            {"Value at first mark", "Valeur au premier repere"},
            {"Value at second mark", "Valeur au second repere"},
            {"Logarithmic scale", "Echelle logarithmique"},
            {"Type a number at each mark, for example 2.5 or 1e-3.",
             "Saisissez un nombre a chaque repere, par exemple 2,5 ou 1e-3."},
            {"The two values must differ.", "Les deux valeurs doivent etre differentes."},
            {"A logarithmic axis needs values greater than zero.",
             "Un axe logarithmique exige des valeurs superieures a zero."},

            // Calibration check
            {"Grid", "Grille"},
            {"Draw the calibrated grid over the picture: on a good calibration it lies on the chart's grid.",
             "Dessine la grille calibree sur l'image : avec un bon etalonnage, elle se pose sur la grille du "
             "graphique."},
            {"The picture looks tilted by %1 degrees. Turn off \"Orthogonal axes\" to calibrate along its "
             "axes.",
             "L'image semble inclinee de %1 degres. Desactivez \"Axes orthogonaux\" pour etalonner le long "
             "de ses axes."},

            // Curve extraction
            {"Load a picture before extracting a curve.", "Chargez une image avant d'extraire une courbe."},
            {"The clicked point is outside the plot area.",
             "Le point clique est hors de la zone du graphique."},
            {"No curve at the clicked point: click on the curve's ink.",
             "Aucune courbe au point clique : cliquez sur le trait de la courbe."},
            {"Nothing like the clicked curve was found.",
             "Rien de semblable a la courbe cliquee n'a ete trouve."},

            // Automatic extraction in the window
            {"Automatic extraction", "Extraction automatique"},
            {"Trace curve", "Tracer la courbe"},
            {"Find markers", "Trouver les marqueurs"},
            {"Click on a curve's line to find its points automatically.",
             "Cliquez sur le trait d'une courbe pour trouver ses points automatiquement."},
            {"Click on one marker to find every marker like it.",
             "Cliquez sur un marqueur pour trouver tous les marqueurs semblables."},
            {"Click on a curve's line to trace it. Shift+drag: search only inside a rectangle. Enter: add "
             "the points. "
             "Esc: cancel.",
             "Cliquez sur le trait d'une courbe pour la tracer. Maj+glisser : chercher seulement dans"
             " un rectangle. Entree : ajouter les points. Echap : annuler."},
            {"Click on one marker to find all like it. Shift+drag: search only inside a rectangle. Enter: "
             "add the points. "
             "Esc: cancel.",
             "Cliquez sur un marqueur pour trouver tous les semblables. Maj+glisser : chercher"
             " seulement dans un rectangle. Entree : ajouter les points. Echap : annuler."},
            {"Colour tolerance", "Tolerance de couleur"},
            {"At the far left the tolerance follows the contrast of the picked colour.",
             "Tout a gauche, la tolerance suit le contraste de la couleur choisie."},
            {"Keep the shape", "Garder la forme"},
            {"N points evenly in x", "N points repartis en x"},
            {"Every dx in axis units", "Tous les dx en unites de l'axe"},
            {"Add to", "Ajouter a"},
            {"Active curve", "Courbe active"},
            {"New curve", "Nouvelle courbe"},
            {"Accept", "Accepter"},
            {"%1 points found.", "%1 points trouves."},
            {"Click on the curve in the picture.", "Cliquez sur la courbe dans l'image."},

            // Picking from the drawing of a PDF page
            {"Pick from PDF", "Prendre du PDF"},
            {"Points along each curved segment", "Points le long de chaque segment courbe"},
            {"Click on a line drawn in a vector PDF to add its exact points.",
             "Cliquez sur une ligne dessinee dans un PDF vectoriel pour ajouter ses points exacts."},
            {"Point at a line drawn in the PDF and click to add its exact points to the active curve.",
             "Pointez une ligne dessinee dans le PDF et cliquez pour ajouter ses points exacts a la courbe "
             "active."},
            {"Pick from PDF reads the drawing of a PDF page; this picture is not a PDF.",
             "Prendre du PDF lit le dessin d'une page PDF ; cette image n'est pas un PDF."},
            {"No drawn line passes here: point at a line until it lights up.",
             "Aucune ligne dessinee ne passe ici : pointez une ligne jusqu'a ce qu'elle s'allume."},
            {"%1 points of the PDF drawing added to %2.", "%1 points du dessin PDF ajoutes a %2."},

            // Regenerated graph: smoothing, legend and sizes
            {"The graph is too small to draw: make it at least %1 x %2 cm.",
             "Le graphique est trop petit pour etre dessine : donnez-lui au moins %1 x %2 cm."},
            {"Show legend", "Afficher la legende"},
            {"Draw a legend of the curves; drag it to move it.",
             "Dessine une legende des courbes ; faites-la glisser pour la deplacer."},
            {"Curve smoothing", "Lissage des courbes"},
            {"Shape-preserving", "Preserve la forme"},
            {"Straight lines", "Lignes droites"},
            {"How curves run between their points; shape-preserving curves never overshoot.",
             "Comment les courbes passent entre leurs points ; les courbes qui preservent la forme ne "
             "depassent jamais."},
            {"Axis limits computed from the digitized points and the calibration.",
             "Limites des axes calculees a partir des points numerises et de l'etalonnage."},
            {"Compute the axis limits from the digitized points and the calibration.",
             "Calcule les limites des axes a partir des points numerises et de l'etalonnage."},
            {"At this DPI a JPG can be at most %1 cm on a side.",
             "A ce DPI, un JPG peut mesurer au plus %1 cm de cote."},
            {"The JPG would be %1 x %2 px, but a JPG can be at most %3 px on a side. Lower the size or the "
             "DPI.",
             "Le JPG ferait %1 x %2 px, mais un JPG peut avoir au plus %3 px de cote. Reduisez la taille ou "
             "le DPI."},
            {"The JPG would need %1 MB of memory, more than the %2 MB allowed. Lower the size or the DPI.",
             "Le JPG demanderait %1 Mo de memoire, plus que les %2 Mo permis. Reduisez la taille ou le DPI."},

            // Undo history: commands and step names
            {"Undo", "Annuler"},
            {"Redo", "Retablir"},
            {"Show layers", "Afficher les calques"},
            {"Change page", "Changer de page"},
            {"Change resolution", "Changer la resolution"},
            {"Choose curve", "Choisir la courbe"},
            {"Edit curve", "Modifier la courbe"},
            {"Replace picture", "Remplacer l'image"},
            {"Calibrate X axis", "Calibrer l'axe X"},
            {"Calibrate Y axis", "Calibrer l'axe Y"},
            {"Add point", "Ajouter un point"},
            {"Add points", "Ajouter des points"},
            {"There is no curve named %1.", "Aucune courbe ne s'appelle %1."},
            {"Sort points by x", "Trier les points par x"},
            {"Remove duplicate points", "Supprimer les points en double"},
            {"%1 markers found; left out as legend samples or strays: %2.", "%1 marqueurs trouves ; exclus comme echantillons de legende ou isoles : %2."},
            {"Add curve", "Ajouter une courbe"},
            {"Show curve", "Afficher la courbe"},
            {"Hide curve", "Masquer la courbe"},
            {"Change curve style", "Changer le style de la courbe"},
            {"Move point", "Deplacer le point"},
            {"Move points", "Deplacer les points"},
            {"Edit point value", "Modifier la valeur du point"},
            {"Delete points", "Supprimer les points"},
            {"Clear points", "Effacer les points"},

            // Undo history: many points at once
            {"%1 points selected.", "%1 points selectionnes."},

            // Project files, paste and drop, zoom
            {"Open project...", "Ouvrir un projet..."},
            {"Save project as...", "Enregistrer le projet sous..."},
            {"Save project as", "Enregistrer le projet sous"},
            {"Plotmason project (*.pmproj)", "Projet Plotmason (*.pmproj)"},
            {"The picture could not be written to %1.", "Impossible d'ecrire l'image dans %1."},
            {"Project saved.", "Projet enregistre."},
            {"Project opened.", "Projet ouvert."},
            {"&View", "&Affichage"},
            {"Fit to window", "Ajuster a la fenetre"},
            {"Actual size", "Taille reelle"},
            {"Paste picture", "Coller l'image"},
            {"Drop an image or PDF here, paste one with Ctrl+V, or use Import source...",
             "Deposez ici une image ou un PDF, collez-en un avec Ctrl+V ou utilisez Importer la source..."},
            {"The clipboard holds no picture.", "Le presse-papiers ne contient aucune image."},

            // Curve colours
            {"Color...", "Couleur..."},

            // Loupe and keyboard
            {"Next curve", "Courbe suivante"},
            {"Previous curve", "Courbe precedente"},
        },
        // Texts that read the same as in English and so need no pair.
        {"Source", "Axes", "Visible", "Points", "pixel", "Calibration", "OK", "Angle", "x = %1   y = %2",
         "Spline", "Loupe"},
    };
    return texts;
}

} // namespace i18n::detail
