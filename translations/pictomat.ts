<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pictomat is free software: you may share and change it under the GNU General Public License, version 3 or (at your option) any later version. It comes with no warranty.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AddFilesDialog</name>
    <message>
        <source>Add Image Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image Files (*.avif *.gif *.heic *.heif *.jpg *.jpeg *.jxl *.png *.tif *.tiff *.webp %1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CheckUpdateDialog</name>
    <message>
        <source>Check Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed Version: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for update ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the answer is larger than %1 KiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the server answered with status %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the answer could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update check could not be completed: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> is available to download.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no software updates available at this time.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CheckedSaveFile</name>
    <message>
        <source>the conversion was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConvertImageForm</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>O&amp;utput:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qualit&amp;y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lossless</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Co&amp;mpression</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compression</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 is fastest, 9 makes the smallest file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LZW</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deflate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop images to convert here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save preset…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load preset…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve converted files to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Output Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save to PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;DF file name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose PDF File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paper size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Letter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Legal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Executive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resize Image to Paper Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Smooth Edges on Resize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qua&amp;lity:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>96 dpi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>150 dpi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>300 dpi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>400 dpi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>600 dpi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1200 dpi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pa&amp;ge Orientation:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ma&amp;rgin:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Margin Si&amp;ze:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Metadata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copies the camera, date taken, author, copyright, keywords and location of each photo into its converted file. GIF and PDF hold no metadata. The colour profile is always kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep metadata (EXIF, XMP, IPTC)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leaves out every GPS tag and the location fields of the kept metadata.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove location (GPS)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By percentage:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Percentage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By absolute size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Height:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By relative size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Relative to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long edge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short edge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Width:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep aspect ratio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not enlarge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply watermarks after resizing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Te&amp;xt:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Font:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Si&amp;ze:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Co&amp;lor:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Text Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Position:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top - Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top - Center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top - Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center - Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center - Center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center - Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bottom - Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bottom - Center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bottom - Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opa&amp;city:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relative to image width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ima&amp;ge:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sca&amp;le:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;QR Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Adjustments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add adjustment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grayscale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sepia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invert Colors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gaussian Blur Radius</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert image to grayscale.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply sepia tone to image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contrast:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gamma:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invert Colors:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gaussian Blur:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Adjustment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Adjustment Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Adjustment Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove All Adjustment Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to remove all adjustment settings?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save to PDF File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to their default values?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files not added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These files have names that are not valid UTF-8 and cannot be opened; rename them to convert them:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No new images found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove all %1 files from the list?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Generating preview…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Watermark Picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image Files (*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The preset was loaded. These keys were ignored and keep their defaults:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The size is a percentage of the picture&apos;s width, so that it looks the same on large and small pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text, picture and QR code are drawn on the resized picture, sharp at its size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long edge:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short edge:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Height:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GIF and PDF files hold no metadata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> px</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> pt</source>
        <comment>unit of the text size</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> px</source>
        <comment>pixels</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PDF file name %1 cannot contain folders: type a name only. The document is written inside the output folder.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConvertImagesThread</name>
    <message>
        <source>no free numbered name</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConvertProgressForm</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Converting images in progress. Please wait...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Converting %1 of %2, %3 elapsed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, about %1 remaining</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopping after the current file…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 converted, %2 skipped, %3 failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The conversion processes are completed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The conversion process is completed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was converted: the existing files were kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fast Pictomat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 file could not be converted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time taken: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file manager could be started to show %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FailureReason</name>
    <message>
        <source>cannot read image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a supported image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>damaged or incomplete image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JPEG with too many scans (more than %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>picture too large (%1 x %2, the limit is %3 megapixels)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>result too large after scaling (%1 x %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>disk full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another file of this job has the same name: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>folder no longer exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CMYK JPEG XL is not supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file too large (%1 MB, the limit is %2 MB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a file of this name appeared meanwhile and was left as it was</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1; the existing file was left as it was</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>name not valid UTF-8, cannot be opened; rename it to convert it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this kind of camera RAW file is not supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HEIF of %1 pictures (grid tiles), more than the %2 any camera writes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileListModel</name>
    <message>
        <source>File List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileOptionsPanel</name>
    <message>
        <source>File names and folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{name} the original name, {counter} the position in the list, {date} the date taken, {size} the size of the converted picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;When the target exists:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep the folder structure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save next to the original</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Background for transparency:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Background Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When a RAW and a JPEG of one shot are both listed, convert only the RAW</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cores to use:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How many cores a conversion keeps busy: files converted at once and their encoders&apos; threads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only the RAW of a RAW+JPEG pair</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImageWriter</name>
    <message>
        <source>picture too large for %1 (%2 x %3, at most %4 pixels a side)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the %1 encoder could not store this picture (%2 x %3)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Larkspan Pictomat</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MetadataWriter</name>
    <message>
        <source>metadata left out: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EXIF over 64 KB, left out: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OverwriteFileDialog</name>
    <message>
        <source>Overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following files already exist. Check all files that you wish to overwrite.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Target File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Existing files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following file already exists. Do you wish to overwrite it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>replaces the original</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select None</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PdfAssembly</name>
    <message>
        <source>the PDF writer cannot start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the margin leaves no room on the page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot scale the image to %1 x %2 pixels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot add a page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the PDF writer failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the PDF document cannot be written (%1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading image. Please wait...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview - </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The web site %1 could not be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select folder ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to overwrite </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The output folder %1 does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create it, or choose another folder?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Another Folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 could not be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presets (*.ini)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read the preset %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the preset %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RemoveThumbnailsDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program removing unused thumbnail files. Please wait...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SkippedFiles</name>
    <message>
        <source>not a supported image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>already in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a local file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 file not added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files not added</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
