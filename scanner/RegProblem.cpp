#include "scanner/RegProblem.h"

// Every producer sets both integers; zero keeps a forgotten one predictable.
CRegProblem::CRegProblem() : m_bValue(0), m_nKind(0), m_samView(0)
{
}

CRegProblem::CRegProblem(const CRegProblem& problem) = default;

CRegProblem& CRegProblem::operator=(const CRegProblem& problem) = default;

CRegProblem::~CRegProblem()
{
}
