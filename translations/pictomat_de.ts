<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>Pictomat is free software: you may share and change it under the GNU General Public License, version 3 or (at your option) any later version. It comes with no warranty.</source>
        <translation>Pictomat ist freie Software: Sie dürfen es unter den Bedingungen der GNU General Public License, Version 3 oder (nach Ihrer Wahl) jeder späteren Version, weitergeben und verändern. Es wird ohne jede Gewährleistung bereitgestellt.</translation>
    </message>
</context>
<context>
    <name>AddFilesDialog</name>
    <message>
        <source>Add Image Files</source>
        <translation>Bilddateien hinzufügen</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Image Files (*.avif *.gif *.heic *.heif *.jpg *.jpeg *.jxl *.png *.tif *.tiff *.webp %1)</source>
        <translation>Bilddateien (*.avif *.gif *.heic *.heif *.jpg *.jpeg *.jxl *.png *.tif *.tiff *.webp %1)</translation>
    </message>
</context>
<context>
    <name>CheckUpdateDialog</name>
    <message>
        <source>Check Update</source>
        <translation>Nach Aktualisierungen suchen</translation>
    </message>
    <message>
        <source>Download update</source>
        <translation>Aktualisierung herunterladen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Installed Version: </source>
        <translation>Installierte Version: </translation>
    </message>
    <message>
        <source>Checking for update ...</source>
        <translation>Suche nach Aktualisierungen …</translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation>der Server hat nicht rechtzeitig geantwortet</translation>
    </message>
    <message>
        <source>the answer is larger than %1 KiB</source>
        <translation>die Antwort ist größer als %1 KiB</translation>
    </message>
    <message>
        <source>the server answered with status %1 %2</source>
        <translation>der Server antwortete mit Status %1 %2</translation>
    </message>
    <message>
        <source>the answer could not be read</source>
        <translation>die Antwort konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>The update check could not be completed: %1.</source>
        <translation>Die Suche nach Aktualisierungen konnte nicht abgeschlossen werden: %1.</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Webseite besuchen</translation>
    </message>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <source> is available to download.</source>
        <translation> steht zum Herunterladen bereit.</translation>
    </message>
    <message>
        <source>There are no software updates available at this time.</source>
        <translation>Zurzeit sind keine Aktualisierungen verfügbar.</translation>
    </message>
</context>
<context>
    <name>CheckedSaveFile</name>
    <message>
        <source>the conversion was cancelled</source>
        <translation>die Umwandlung wurde abgebrochen</translation>
    </message>
</context>
<context>
    <name>ConvertImageForm</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Convert Images</source>
        <translation>Bilder umwandeln</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Umwandeln</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>O&amp;utput:</source>
        <translation>&amp;Zielformat:</translation>
    </message>
    <message>
        <source>Qualit&amp;y</source>
        <translation>Q&amp;ualität</translation>
    </message>
    <message>
        <source>Lossless</source>
        <translation>Verlustfrei</translation>
    </message>
    <message>
        <source>Co&amp;mpression</source>
        <translation>Ko&amp;mpression</translation>
    </message>
    <message>
        <source>Compression</source>
        <translation>Kompression</translation>
    </message>
    <message>
        <source>0 is fastest, 9 makes the smallest file</source>
        <translation>0 ist am schnellsten, 9 ergibt die kleinste Datei</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>LZW</source>
        <translation>LZW</translation>
    </message>
    <message>
        <source>Deflate</source>
        <translation>Deflate</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>File List</source>
        <translation>Dateiliste</translation>
    </message>
    <message>
        <source>Drop images to convert here</source>
        <translation>Bilder zum Umwandeln hier ablegen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Save preset…</source>
        <translation>Vorlage speichern …</translation>
    </message>
    <message>
        <source>Load preset…</source>
        <translation>Vorlage laden …</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Output</source>
        <translation>&amp;Ausgabe</translation>
    </message>
    <message>
        <source>Sa&amp;ve converted files to:</source>
        <translation>Umgewandelte Dateien speichern &amp;in:</translation>
    </message>
    <message>
        <source>Choose Output Folder</source>
        <translation>Ausgabeordner wählen</translation>
    </message>
    <message>
        <source>...</source>
        <translation>…</translation>
    </message>
    <message>
        <source>Save to PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <source>P&amp;DF file name:</source>
        <translation>P&amp;DF-Dateiname:</translation>
    </message>
    <message>
        <source>Choose PDF File</source>
        <translation>PDF-Datei wählen</translation>
    </message>
    <message>
        <source>&amp;Paper size:</source>
        <translation>&amp;Papierformat:</translation>
    </message>
    <message>
        <source>Letter</source>
        <translation>Letter</translation>
    </message>
    <message>
        <source>A4</source>
        <translation>A4</translation>
    </message>
    <message>
        <source>A5</source>
        <translation>A5</translation>
    </message>
    <message>
        <source>Legal</source>
        <translation>Legal</translation>
    </message>
    <message>
        <source>Executive</source>
        <translation>Executive</translation>
    </message>
    <message>
        <source>Resize Image to Paper Size</source>
        <translation>Bild an Papierformat anpassen</translation>
    </message>
    <message>
        <source>Smooth Edges on Resize</source>
        <translation>Kanten beim Skalieren glätten</translation>
    </message>
    <message>
        <source>Qua&amp;lity:</source>
        <translation>Qua&amp;lität:</translation>
    </message>
    <message>
        <source>96 dpi</source>
        <translation>96 dpi</translation>
    </message>
    <message>
        <source>150 dpi</source>
        <translation>150 dpi</translation>
    </message>
    <message>
        <source>300 dpi</source>
        <translation>300 dpi</translation>
    </message>
    <message>
        <source>400 dpi</source>
        <translation>400 dpi</translation>
    </message>
    <message>
        <source>600 dpi</source>
        <translation>600 dpi</translation>
    </message>
    <message>
        <source>1200 dpi</source>
        <translation>1200 dpi</translation>
    </message>
    <message>
        <source>Pa&amp;ge Orientation:</source>
        <translation>Seitenausrichtun&amp;g:</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Hochformat</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Querformat</translation>
    </message>
    <message>
        <source>Ma&amp;rgin:</source>
        <translation>&amp;Rand:</translation>
    </message>
    <message>
        <source>No Margin</source>
        <translation>Kein Rand</translation>
    </message>
    <message>
        <source>Add Margin</source>
        <translation>Mit Rand</translation>
    </message>
    <message>
        <source>Margin Si&amp;ze:</source>
        <translation>Randbreit&amp;e:</translation>
    </message>
    <message>
        <source>Metadata</source>
        <translation>Metadaten</translation>
    </message>
    <message>
        <source>Copies the camera, date taken, author, copyright, keywords and location of each photo into its converted file. GIF and PDF hold no metadata. The colour profile is always kept.</source>
        <translation>Übernimmt Kamera, Aufnahmedatum, Urheber, Copyright, Stichwörter und Aufnahmeort jedes Fotos in die umgewandelte Datei. GIF und PDF enthalten keine Metadaten. Das Farbprofil bleibt immer erhalten.</translation>
    </message>
    <message>
        <source>Keep metadata (EXIF, XMP, IPTC)</source>
        <translation>Metadaten behalten (EXIF, XMP, IPTC)</translation>
    </message>
    <message>
        <source>Leaves out every GPS tag and the location fields of the kept metadata.</source>
        <translation>Lässt alle GPS-Angaben und die Ortsfelder der behaltenen Metadaten weg.</translation>
    </message>
    <message>
        <source>Remove location (GPS)</source>
        <translation>Aufnahmeort entfernen (GPS)</translation>
    </message>
    <message>
        <source>&amp;Scale</source>
        <translation>&amp;Skalieren</translation>
    </message>
    <message>
        <source>Scale Image</source>
        <translation>Bild skalieren</translation>
    </message>
    <message>
        <source>By percentage:</source>
        <translation>Prozentual:</translation>
    </message>
    <message>
        <source>Percentage</source>
        <translation>Prozent</translation>
    </message>
    <message>
        <source>By absolute size</source>
        <translation>Auf feste Größe</translation>
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation>B&amp;reite:</translation>
    </message>
    <message>
        <source>&amp;Height:</source>
        <translation>&amp;Höhe:</translation>
    </message>
    <message>
        <source>By relative size</source>
        <translation>Auf eine Seitenlänge</translation>
    </message>
    <message>
        <source>&amp;Relative to:</source>
        <translation>Bezo&amp;gen auf:</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Long edge</source>
        <translation>Lange Seite</translation>
    </message>
    <message>
        <source>Short edge</source>
        <translation>Kurze Seite</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Keep aspect ratio</source>
        <translation>Seitenverhältnis beibehalten</translation>
    </message>
    <message>
        <source>Do not enlarge</source>
        <translation>Nicht vergrößern</translation>
    </message>
    <message>
        <source>Apply watermarks after resizing</source>
        <translation>Wasserzeichen nach dem Skalieren anbringen</translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation>&amp;Text</translation>
    </message>
    <message>
        <source>Te&amp;xt:</source>
        <translation>Te&amp;xt:</translation>
    </message>
    <message>
        <source>&amp;Font:</source>
        <translation>Sc&amp;hriftart:</translation>
    </message>
    <message>
        <source>Si&amp;ze:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>Co&amp;lor:</source>
        <translation>&amp;Farbe:</translation>
    </message>
    <message>
        <source>Change Text Color</source>
        <translation>Textfarbe ändern</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>&amp;Position:</source>
        <translation>&amp;Position:</translation>
    </message>
    <message>
        <source>Top - Left</source>
        <translation>Oben - Links</translation>
    </message>
    <message>
        <source>Top - Center</source>
        <translation>Oben - Mitte</translation>
    </message>
    <message>
        <source>Top - Right</source>
        <translation>Oben - Rechts</translation>
    </message>
    <message>
        <source>Center - Left</source>
        <translation>Mitte - Links</translation>
    </message>
    <message>
        <source>Center - Center</source>
        <translation>Mitte - Mitte</translation>
    </message>
    <message>
        <source>Center - Right</source>
        <translation>Mitte - Rechts</translation>
    </message>
    <message>
        <source>Bottom - Left</source>
        <translation>Unten - Links</translation>
    </message>
    <message>
        <source>Bottom - Center</source>
        <translation>Unten - Mitte</translation>
    </message>
    <message>
        <source>Bottom - Right</source>
        <translation>Unten - Rechts</translation>
    </message>
    <message>
        <source>Opa&amp;city:</source>
        <translation>&amp;Deckkraft:</translation>
    </message>
    <message>
        <source>Relative to image width</source>
        <translation>Bezogen auf die Bildbreite</translation>
    </message>
    <message>
        <source>&amp;Image</source>
        <translation>&amp;Bild</translation>
    </message>
    <message>
        <source>Ima&amp;ge:</source>
        <translation>B&amp;ild:</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Select...</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>Sca&amp;le:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>&amp;QR Code</source>
        <translation>&amp;QR-Code</translation>
    </message>
    <message>
        <source>&amp;Adjustments</source>
        <translation>&amp;Korrekturen</translation>
    </message>
    <message>
        <source>Add adjustment</source>
        <translation>Korrektur hinzufügen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Grayscale</source>
        <translation>Graustufen</translation>
    </message>
    <message>
        <source>Sepia</source>
        <translation>Sepia</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Invert Colors</source>
        <translation>Farben umkehren</translation>
    </message>
    <message>
        <source>Gaussian Blur Radius</source>
        <translation>Gaußscher Weichzeichner</translation>
    </message>
    <message>
        <source>Convert image to grayscale.</source>
        <translation>Bild in Graustufen umwandeln.</translation>
    </message>
    <message>
        <source>Apply sepia tone to image</source>
        <translation>Sepiaton auf das Bild anwenden</translation>
    </message>
    <message>
        <source>Contrast:</source>
        <translation>Kontrast:</translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation>Helligkeit:</translation>
    </message>
    <message>
        <source>Gamma:</source>
        <translation>Gamma:</translation>
    </message>
    <message>
        <source>Invert Colors:</source>
        <translation>Farben umkehren:</translation>
    </message>
    <message>
        <source>Gaussian Blur:</source>
        <translation>Weichzeichner:</translation>
    </message>
    <message>
        <source>Delete Adjustment</source>
        <translation>Korrektur löschen</translation>
    </message>
    <message>
        <source>Move Adjustment Up</source>
        <translation>Korrektur nach oben</translation>
    </message>
    <message>
        <source>Move Adjustment Down</source>
        <translation>Korrektur nach unten</translation>
    </message>
    <message>
        <source>Remove All Adjustment Settings</source>
        <translation>Alle Korrekturen entfernen</translation>
    </message>
    <message>
        <source>Are you sure you want to remove all adjustment settings?</source>
        <translation>Sollen wirklich alle Korrekturen entfernt werden?</translation>
    </message>
    <message>
        <source>Save to PDF File</source>
        <translation>Als PDF-Datei speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>Einstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to their default values?</source>
        <translation>Sollen wirklich alle Einstellungen auf ihre Standardwerte zurückgesetzt werden?</translation>
    </message>
    <message>
        <source>Files not added</source>
        <translation>Dateien nicht hinzugefügt</translation>
    </message>
    <message>
        <source>These files have names that are not valid UTF-8 and cannot be opened; rename them to convert them:
%1</source>
        <translation>Diese Dateien haben Namen, die kein gültiges UTF-8 sind, und können nicht geöffnet werden. Benennen Sie sie um, um sie umzuwandeln:
%1</translation>
    </message>
    <message>
        <source>No new images found</source>
        <translation>Keine neuen Bilder gefunden</translation>
    </message>
    <message>
        <source>Remove all %1 files from the list?</source>
        <translation>Alle %1 Dateien aus der Liste entfernen?</translation>
    </message>
    <message>
        <source>Generating preview…</source>
        <translation>Vorschau wird erstellt …</translation>
    </message>
    <message>
        <source>Select Watermark Picture</source>
        <translation>Bild für das Wasserzeichen wählen</translation>
    </message>
    <message>
        <source>Image Files (*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)</source>
        <translation>Bilddateien (*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)</translation>
    </message>
    <message>
        <source>Save Preset</source>
        <translation>Vorlage speichern</translation>
    </message>
    <message>
        <source>Load Preset</source>
        <translation>Vorlage laden</translation>
    </message>
    <message>
        <source>The preset was loaded. These keys were ignored and keep their defaults:
%1</source>
        <translation>Die Vorlage wurde geladen. Diese Schlüssel wurden übergangen und behalten ihre Standardwerte:
%1</translation>
    </message>
    <message>
        <source>The size is a percentage of the picture&apos;s width, so that it looks the same on large and small pictures</source>
        <translation>Die Größe ist ein Prozentsatz der Bildbreite, damit sie auf großen und kleinen Bildern gleich wirkt</translation>
    </message>
    <message>
        <source>Text, picture and QR code are drawn on the resized picture, sharp at its size</source>
        <translation>Text, Bild und QR-Code werden auf das skalierte Bild gezeichnet, scharf in dessen Größe</translation>
    </message>
    <message>
        <source>Long edge:</source>
        <translation>Lange Seite:</translation>
    </message>
    <message>
        <source>Short edge:</source>
        <translation>Kurze Seite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>GIF and PDF files hold no metadata</source>
        <translation>GIF- und PDF-Dateien enthalten keine Metadaten</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
    </message>
    <message>
        <source> pt</source>
        <comment>unit of the text size</comment>
        <translation> pt</translation>
    </message>
    <message>
        <source> px</source>
        <comment>pixels</comment>
        <translation> px</translation>
    </message>
    <message>
        <source>The PDF file name %1 cannot contain folders: type a name only. The document is written inside the output folder.</source>
        <translation>Der PDF-Dateiname %1 darf keine Ordner enthalten: Geben Sie nur einen Namen ein. Das Dokument wird im Ausgabeordner gespeichert.</translation>
    </message>
</context>
<context>
    <name>ConvertImagesThread</name>
    <message>
        <source>no free numbered name</source>
        <translation>kein freier nummerierter Name</translation>
    </message>
</context>
<context>
    <name>ConvertProgressForm</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Converting images in progress. Please wait...</source>
        <translation>Bilder werden umgewandelt. Bitte warten …</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>Textfeld</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Converting %1 of %2, %3 elapsed</source>
        <translation>Bild %1 von %2 wird umgewandelt, %3 vergangen</translation>
    </message>
    <message>
        <source>, about %1 remaining</source>
        <translation>, noch etwa %1</translation>
    </message>
    <message>
        <source>Stopping after the current file…</source>
        <translation>Wird nach der aktuellen Datei angehalten …</translation>
    </message>
    <message>
        <source>%1 converted, %2 skipped, %3 failed.</source>
        <translation>%1 umgewandelt, %2 übersprungen, %3 fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The conversion processes are completed.</source>
        <translation>Die Umwandlungen sind abgeschlossen.</translation>
    </message>
    <message>
        <source>The conversion process is completed.</source>
        <translation>Die Umwandlung ist abgeschlossen.</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Nothing was converted: the existing files were kept.</source>
        <translation>Nichts wurde umgewandelt: Die vorhandenen Dateien wurden behalten.</translation>
    </message>
    <message>
        <source>Fast Pictomat</source>
        <translation>Fast Pictomat</translation>
    </message>
    <message>
        <source>%1 of %2 file could not be converted.</source>
        <translation>%1 von %2 Datei konnte nicht umgewandelt werden.</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>%1 von %2 Dateien konnten nicht umgewandelt werden.</translation>
    </message>
    <message>
        <source>Time taken: %1.</source>
        <translation>Benötigte Zeit: %1.</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>No file manager could be started to show %1.</source>
        <translation>Es konnte keine Dateiverwaltung gestartet werden, um %1 zu zeigen.</translation>
    </message>
</context>
<context>
    <name>FailureReason</name>
    <message>
        <source>cannot read image</source>
        <translation>Bild kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>not a supported image</source>
        <translation>kein unterstütztes Bild</translation>
    </message>
    <message>
        <source>damaged or incomplete image</source>
        <translation>beschädigtes oder unvollständiges Bild</translation>
    </message>
    <message>
        <source>JPEG with too many scans (more than %1)</source>
        <translation>JPEG mit zu vielen Scans (mehr als %1)</translation>
    </message>
    <message>
        <source>picture too large (%1 x %2, the limit is %3 megapixels)</source>
        <translation>Bild zu groß (%1 x %2, die Grenze liegt bei %3 Megapixeln)</translation>
    </message>
    <message>
        <source>result too large after scaling (%1 x %2)</source>
        <translation>Ergebnis nach dem Skalieren zu groß (%1 x %2)</translation>
    </message>
    <message>
        <source>disk full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>another file of this job has the same name: %1</source>
        <translation>eine andere Datei dieses Auftrags hat denselben Namen: %1</translation>
    </message>
    <message>
        <source>folder no longer exists</source>
        <translation>der Ordner existiert nicht mehr</translation>
    </message>
    <message>
        <source>CMYK JPEG XL is not supported</source>
        <translation>CMYK-JPEG-XL wird nicht unterstützt</translation>
    </message>
    <message>
        <source>file too large (%1 MB, the limit is %2 MB)</source>
        <translation>Datei zu groß (%1 MB, die Grenze liegt bei %2 MB)</translation>
    </message>
    <message>
        <source>a file of this name appeared meanwhile and was left as it was</source>
        <translation>eine Datei dieses Namens ist inzwischen entstanden und wurde unverändert gelassen</translation>
    </message>
    <message>
        <source>%1; the existing file was left as it was</source>
        <translation>%1; die vorhandene Datei wurde unverändert gelassen</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
    <message>
        <source>name not valid UTF-8, cannot be opened; rename it to convert it</source>
        <translation>Name ist kein gültiges UTF-8 und kann nicht geöffnet werden; zum Konvertieren umbenennen</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>nicht genug Arbeitsspeicher</translation>
    </message>
    <message>
        <source>this kind of camera RAW file is not supported</source>
        <translation>diese Art von Kamera-RAW-Datei wird nicht unterstützt</translation>
    </message>
    <message>
        <source>HEIF of %1 pictures (grid tiles), more than the %2 any camera writes</source>
        <translation>HEIF aus %1 Bildern (Kacheln), mehr als die %2, die eine Kamera schreibt</translation>
    </message>
</context>
<context>
    <name>FileListModel</name>
    <message>
        <source>File List</source>
        <translation>Dateiliste</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
</context>
<context>
    <name>FileOptionsPanel</name>
    <message>
        <source>File names and folders</source>
        <translation>Dateinamen und Ordner</translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation>Datei&amp;name:</translation>
    </message>
    <message>
        <source>{name} the original name, {counter} the position in the list, {date} the date taken, {size} the size of the converted picture</source>
        <translation>{name} der ursprüngliche Name, {counter} die Position in der Liste, {date} das Aufnahmedatum, {size} die Größe des umgewandelten Bildes</translation>
    </message>
    <message>
        <source>&amp;When the target exists:</source>
        <translation>&amp;Wenn die Zieldatei existiert:</translation>
    </message>
    <message>
        <source>Ask</source>
        <translation>Nachfragen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Add a number</source>
        <translation>Nummer anhängen</translation>
    </message>
    <message>
        <source>Keep the folder structure</source>
        <translation>Ordnerstruktur beibehalten</translation>
    </message>
    <message>
        <source>Save next to the original</source>
        <translation>Neben dem Original speichern</translation>
    </message>
    <message>
        <source>&amp;Background for transparency:</source>
        <translation>&amp;Hintergrund für Transparenz:</translation>
    </message>
    <message>
        <source>Change Background Color</source>
        <translation>Hintergrundfarbe ändern</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>First file: %1</source>
        <translation>Erste Datei: %1</translation>
    </message>
    <message>
        <source>When a RAW and a JPEG of one shot are both listed, convert only the RAW</source>
        <translation>Wenn RAW und JPEG einer Aufnahme aufgeführt sind, nur das RAW konvertieren</translation>
    </message>
    <message>
        <source>Only the RAW of a RAW+JPEG pair</source>
        <translation>Nur das RAW eines RAW+JPEG-Paars</translation>
    </message>
    <message>
        <source>Cores to use:</source>
        <translation>Zu nutzende Kerne:</translation>
    </message>
    <message>
        <source>How many cores a conversion keeps busy: files converted at once and their encoders&apos; threads</source>
        <translation>Wie viele Kerne eine Konvertierung auslastet: gleichzeitig konvertierte Dateien und die Threads ihrer Encoder</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
</context>
<context>
    <name>ImageWriter</name>
    <message>
        <source>picture too large for %1 (%2 x %3, at most %4 pixels a side)</source>
        <translation>Bild zu groß für %1 (%2 x %3, höchstens %4 Pixel je Seite)</translation>
    </message>
    <message>
        <source>the %1 encoder could not store this picture (%2 x %3)</source>
        <translation>der %1-Encoder konnte dieses Bild nicht speichern (%2 x %3)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Larkspan Pictomat</source>
        <translation>Larkspan Pictomat</translation>
    </message>
</context>
<context>
    <name>MetadataWriter</name>
    <message>
        <source>metadata left out: %1</source>
        <translation>Metadaten weggelassen: %1</translation>
    </message>
    <message>
        <source>EXIF over 64 KB, left out: %1</source>
        <translation>EXIF über 64 KB, weggelassen: %1</translation>
    </message>
</context>
<context>
    <name>OverwriteFileDialog</name>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>The following files already exist. Check all files that you wish to overwrite.</source>
        <translation>Die folgenden Dateien existieren bereits. Haken Sie alle Dateien an, die Sie überschreiben möchten.</translation>
    </message>
    <message>
        <source>Target File</source>
        <translation>Zieldatei</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>Quelldatei</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Existing files</source>
        <translation>Vorhandene Dateien</translation>
    </message>
    <message>
        <source>The following file already exists. Do you wish to overwrite it?</source>
        <translation>Die folgende Datei existiert bereits. Möchten Sie sie überschreiben?</translation>
    </message>
    <message>
        <source>replaces the original</source>
        <translation>ersetzt das Original</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Select None</source>
        <translation>Keine auswählen</translation>
    </message>
</context>
<context>
    <name>PdfAssembly</name>
    <message>
        <source>the PDF writer cannot start</source>
        <translation>der PDF-Writer kann nicht starten</translation>
    </message>
    <message>
        <source>the margin leaves no room on the page</source>
        <translation>der Rand lässt keinen Platz auf der Seite</translation>
    </message>
    <message>
        <source>cannot scale the image to %1 x %2 pixels</source>
        <translation>das Bild kann nicht auf %1 x %2 Pixel skaliert werden</translation>
    </message>
    <message>
        <source>cannot add a page</source>
        <translation>eine Seite kann nicht hinzugefügt werden</translation>
    </message>
    <message>
        <source>the PDF writer failed</source>
        <translation>der PDF-Writer ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>the PDF document cannot be written (%1)</source>
        <translation>das PDF-Dokument kann nicht geschrieben werden (%1)</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Loading image. Please wait...</source>
        <translation>Bild wird geladen. Bitte warten …</translation>
    </message>
    <message>
        <source>Preview - </source>
        <translation>Vorschau - </translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The web site %1 could not be opened.</source>
        <translation>Die Webseite %1 konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Select folder ...</source>
        <translation>Ordner wählen …</translation>
    </message>
    <message>
        <source>Confirm overwrite</source>
        <translation>Überschreiben bestätigen</translation>
    </message>
    <message>
        <source>Are you sure you want to overwrite </source>
        <translation>Soll wirklich überschrieben werden: </translation>
    </message>
    <message>
        <source>The output folder %1 does not exist.</source>
        <translation>Der Ausgabeordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>Create it, or choose another folder?</source>
        <translation>Soll er angelegt oder ein anderer Ordner gewählt werden?</translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation>Ordner anlegen</translation>
    </message>
    <message>
        <source>Choose Another Folder…</source>
        <translation>Anderen Ordner wählen …</translation>
    </message>
    <message>
        <source>The folder %1 could not be created.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Presets (*.ini)</source>
        <translation>Vorlagen (*.ini)</translation>
    </message>
    <message>
        <source>Cannot read the preset %1</source>
        <translation>Die Vorlage %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Cannot write the preset %1</source>
        <translation>Die Vorlage %1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>RemoveThumbnailsDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>The program removing unused thumbnail files. Please wait...</source>
        <translation>Das Programm entfernt nicht mehr benötigte Vorschaubilder. Bitte warten …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>SkippedFiles</name>
    <message>
        <source>not a supported image</source>
        <translation>kein unterstütztes Bild</translation>
    </message>
    <message>
        <source>already in the list</source>
        <translation>bereits in der Liste</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>nicht gefunden</translation>
    </message>
    <message>
        <source>not a local file</source>
        <translation>keine lokale Datei</translation>
    </message>
    <message>
        <source>1 file not added</source>
        <translation>1 Datei nicht hinzugefügt</translation>
    </message>
    <message>
        <source>%1 files not added</source>
        <translation>%1 Dateien nicht hinzugefügt</translation>
    </message>
</context>
</TS>
