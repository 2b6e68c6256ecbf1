// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class ConvertImageForm;

// Answers the form's toolbar requests: the About and update dialogs, parented to the form, and the
// maker's web site in the browser. The form cannot open them itself, being a layer below.
void connectFormRequests(ConvertImageForm *form);
